// The parts the data-file loader is built from, shared among its files (data_file*.cpp) and
// used nowhere else.
#pragma once

#include "app/document.h"

#include <string>
#include <string_view>
#include <vector>

namespace hk::detail {

// Lines for the message area after the summary of one load: what the load ignored, with where.
// At most cMaxLoadNotices are kept; the rest are only counted.
struct TLoadNotices {
    std::vector<std::string> lines;
    int unlisted = 0;

    void Add(std::string line);
};

// Parses the lines of fileName into work, whose item tables start empty and whose groups are
// those the records are filed under; notices receive the columns ignored. Throws EConvertError
// on a decimal column that does not convert or is out of range.
void ReadRecords(TDocument& work, const std::string& fileName,
                 const std::vector<std::string>& lines, TLoadNotices& notices);

// The duplicate test of two-point lines: each of the six coordinates within 1.0e-5, in the same
// orientation.
bool SameEnds(const LineItem& l, double x1, double y1, double z1, double x2, double y2, double z2);

// The first lines of the errors of a decimal column that does not convert and of one out of
// range (Shift-JIS, quoting the column); the error's place follows them.
std::string NotAFloatHead(std::string_view text);
std::string OutOfRangeHead(std::string_view text);

} // namespace hk::detail
