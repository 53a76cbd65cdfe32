// Fills the report rows from the clash model and the approvals file.
#include "app/clash_report_rows.h"

#include "app/clash_id.h"
#include "app/sjis.h"

#include <cmath>
#include <cstdio>

namespace hk {
namespace {

TReportItem ReportItem(const TClashItem& item) {
    return {item.lineNo,
            item.kind,
            item.KindNameUtf8(),
            item.NameUtf8(),
            item.RptnameUtf8(),
            SjisToUtf8(item.dddname),
            std::string(item.mode),
            item.tableIndex};
}

// The pass works in floats: keep points to a thousandth of a data unit, below which their digits
// are noise.
std::array<double, 3> Rounded(const std::array<double, 3>& point) {
    std::array<double, 3> rounded;
    for (std::size_t k = 0; k < 3; ++k)
        rounded[k] = std::round(point[k] * 1000) / 1000;
    return rounded;
}

} // namespace

std::string ClashIdOf(const TClash& clash) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(clash.identity));
    return ClashId(hex);
}

TClashReport MakeClashReport(const TDocument& doc, const TClashModel& model,
                             const TClashApprovals& approvals) {
    TClashReport report;
    report.drawing = doc.dataFileName;
    report.generated = IsoUtcNow();
    report.loadScale = doc.loadScale;
    report.tolerance = model.ClashSettings().tolerance;
    report.clearance = model.ClashSettings().clearance;
    for (const TClash& clash : model.Rows()) {
        TReportClash& row = report.clashes.emplace_back();
        row.id = ClashIdOf(clash);
        row.status = ClashStatusName(clash.status);
        if (const TApproval* approval = approvals.Find(row.id)) {
            row.approved = true;
            row.comment = approval->comment;
            row.approvedBy = approval->by;
            row.approvedAt = approval->at;
        }
        row.point = Rounded(clash.point);
        row.type = ClashTypeName(clash.type);
        // A pair with an object that is not a solid is apart at an unknown distance.
        if (std::isfinite(clash.distance)) {
            row.distance = std::round(clash.distance * 1000) / 1000;
            row.nearA = Rounded(clash.nearA);
            row.nearB = Rounded(clash.nearB);
        }
        row.a = ReportItem(clash.a);
        row.b = ReportItem(clash.b);
    }
    return report;
}

bool IsOpenClash(const TClash& clash, const TClashApprovals& approvals) {
    // Clearance breaches are judged only while a clearance is set.
    const bool counts = clash.type == TClashType::Hard || clash.type == TClashType::Clearance;
    return counts && clash.status != TClashStatus::csResolved && !approvals.Find(ClashIdOf(clash));
}

} // namespace hk
