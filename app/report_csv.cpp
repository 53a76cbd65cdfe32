// Writes the CSV report row by row.
#include "app/report_csv.h"

namespace hk {
namespace {

// fields are ready to write: numbers as they are, texts through CsvText.
void AppendRow(std::string& out, std::initializer_list<std::string> fields) {
    bool first = true;
    for (const std::string& field : fields) {
        if (!first)
            out += ',';
        out += field;
        first = false;
    }
    out += "\r\n";
}

} // namespace

std::string CsvText(std::string_view text) {
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos)
        return CsvField("'" + std::string(text));
    return CsvField(text);
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string ReportCsv(const TClashReport& report) {
    std::string out = "\xEF\xBB\xBF";
    out.append(cReportCsvHeader).append("\r\n");
    for (const TReportClash& c : report.clashes) {
        AppendRow(out,
                  {c.id, c.status, c.approved ? "true" : "false", c.type.value_or(""),
                   c.distance ? FixedDecimals(*c.distance, 1) : "", FixedDecimals(c.point[0], 1),
                   FixedDecimals(c.point[1], 1), FixedDecimals(c.point[2], 1),
                   std::to_string(c.a.line), std::to_string(c.a.kind), CsvText(c.a.name),
                   CsvText(c.a.rptname), std::to_string(c.b.line), std::to_string(c.b.kind),
                   CsvText(c.b.name), CsvText(c.b.rptname), CsvText(c.comment)});
    }
    return out;
}

} // namespace hk
