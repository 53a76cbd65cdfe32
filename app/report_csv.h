// The CSV form of a clash report for spreadsheets: RFC 4180 quoting, UTF-8 with a byte order
// mark (spreadsheets read Japanese UTF-8 correctly only with it), CR LF, a header row and one
// row per clash.
#pragma once

#include "app/report_data.h"

#include <string>
#include <string_view>

namespace hk {

inline constexpr std::string_view cReportCsvHeader =
    "id,status,approved,type,distance,x,y,z,lineA,kindA,nameA,rptnameA,lineB,kindB,nameB,"
    "rptnameB,comment";

// The whole file: byte order mark, header row, one row per clash, each ended by CR LF. approved
// is "true" or "false"; kinds are kind codes; distance and coordinates have one decimal; an
// absent type or distance is an empty field; names and the comment go through CsvText.
std::string ReportCsv(const TClashReport& report);

// A text field (a name or a comment): as CsvField, but a text a spreadsheet would take for a
// formula (starting with =, +, -, @, tab or CR) gets a leading apostrophe, so that opening the
// report runs nothing. Numbers are written as they are and stay numbers.
std::string CsvText(std::string_view text);

// A field as RFC 4180 writes it: quoted, with quotes doubled, when it holds a comma, a quote,
// CR or LF; as it is otherwise.
std::string CsvField(std::string_view text);

} // namespace hk
