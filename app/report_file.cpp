// Chooses the writer by extension and turns failures into one message naming the file.
#include "app/report_file.h"

#include "app/replace_file.h"
#include "app/report_csv.h"
#include "app/report_json.h"

#include <cctype>

namespace hk {

std::optional<TReportFormat> ReportFormatFor(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".json")
        return TReportFormat::json;
    if (extension == ".csv")
        return TReportFormat::csv;
    if (extension == ".bcf" || extension == ".bcfzip")
        return TReportFormat::bcf;
    return std::nullopt;
}

std::string WriteReport(const std::filesystem::path& path, const TClashReport& report,
                        const TBcfView& view, const TSnapshotSource& snapshot) {
    std::optional<TReportFormat> format = ReportFormatFor(path);
    std::string problem;
    if (!format) {
        problem = "the extension is not .json, .csv, .bcf or .bcfzip";
    } else if (*format == TReportFormat::bcf) {
        problem = WriteBcf(path, report, view, snapshot);
    } else {
        std::string text = *format == TReportFormat::json ? ReportJson(report) : ReportCsv(report);
        if (std::error_code ec = ReplaceFile(path, text))
            problem = ec.message();
    }
    return problem.empty() ? problem : "cannot write the report " + path.string() + ": " + problem;
}

} // namespace hk
