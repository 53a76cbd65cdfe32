// Builds the JSON report with nlohmann::json, keeping the field order of the README.
#include "app/report_json.h"

#include <nlohmann/json.hpp>

namespace hk {
namespace {

using Json = nlohmann::ordered_json;

Json ItemJson(const TReportItem& item) {
    return Json{{"line", item.line}, {"kind", item.kind},       {"kindName", item.kindName},
                {"name", item.name}, {"rptname", item.rptname}, {"dddname", item.dddname},
                {"mode", item.mode}, {"index", item.index}};
}

template <typename T> Json OrNull(const std::optional<T>& value) {
    return value ? Json(*value) : Json(nullptr);
}

Json ClashJson(const TReportClash& clash) {
    return Json{{"id", clash.id},
                {"status", clash.status},
                {"approved", clash.approved},
                {"comment", clash.comment},
                {"type", OrNull(clash.type)},
                {"distance", OrNull(clash.distance)},
                {"point", clash.point},
                {"nearA", OrNull(clash.nearA)},
                {"nearB", OrNull(clash.nearB)},
                {"a", ItemJson(clash.a)},
                {"b", ItemJson(clash.b)}};
}

} // namespace

std::string ReportJson(const TClashReport& report) {
    TReportCounts counts = CountClashes(report);
    Json clashes = Json::array();
    for (const TReportClash& clash : report.clashes)
        clashes.push_back(ClashJson(clash));
    Json json{{"program", report.program},
              {"version", report.version},
              {"drawing", report.drawing},
              {"generated", report.generated},
              {"loadScale", report.loadScale},
              {"tolerance", OrNull(report.tolerance)},
              {"clearance", OrNull(report.clearance)},
              {"counts",
               {{"new", counts.newCount},
                {"active", counts.active},
                {"resolved", counts.resolved},
                {"approved", counts.approved}}},
              {"clashes", std::move(clashes)}};
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

} // namespace hk
