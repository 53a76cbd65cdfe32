// Writes the batch mode's report files and judges its exit status.
#include "app/batch_reports.h"

#include "app/clash_report_rows.h"
#include "app/report_file.h"

#include <algorithm>
#include <ostream>

namespace hk {

int FinishBatchReports(const TDocument& doc, const TClashModel& model,
                       const std::vector<std::string>& reportFiles, bool failOnClash,
                       std::ostream& err) {
    TClashApprovals approvals = TClashApprovals::Load(TClashApprovals::FileFor(doc.dataFileName));
    if (!approvals.Problem().empty())
        err << "hkviewer: " << approvals.Problem() << "\n";
    int status = 0;
    if (!reportFiles.empty()) {
        TClashReport report = MakeClashReport(doc, model, approvals);
        for (const std::string& file : reportFiles) {
            if (std::string problem = WriteReport(file, report); !problem.empty()) {
                err << "hkviewer: " << problem << "\n";
                status = 1;
            }
        }
    }
    const auto open = [&](const TClash& clash) { return IsOpenClash(clash, approvals); };
    if (status == 0 && failOnClash && std::any_of(model.Rows().begin(), model.Rows().end(), open))
        status = cExitOpenClash;
    return status;
}

} // namespace hk
