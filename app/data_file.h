// The data-file reader: parses a comma-separated drawing into the item tables of a TDocument,
// files each record under its group, keeps the line bounds, applies the colour rules and writes
// the summary line into the message area. Also the field helpers the reader is built from.
#pragma once

#include "app/document.h"
#include "app/message_log.h"
#include "engine/errors.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace hk {

// A data file that cannot be loaded: what() names the file and the line. Raised for a line
// holding a NUL byte (the file is binary or UTF-16, not Shift-JIS text) and, as EConvertError,
// for a decimal column that does not convert.
class EDataFileError : public Exception {
public:
    // what() is head (Shift-JIS, quoting the file), the place "<file>: line <lineNo>" with the
    // file name in the file system's bytes, then tail (ASCII).
    EDataFileError(std::string_view head, std::string fileName, int lineNo,
                   std::string_view tail = {});
    const std::string& FileName() const { return fileName_; }
    int LineNo() const { return lineNo_; }
    // what() for the window or a terminal: the head converted to UTF-8, the name as it is.
    std::string Utf8Text() const;

private:
    std::string fileName_;
    int lineNo_;
    std::size_t headSize_;
};

// A decimal column that does not convert. what() holds two lines: "'<text>' is not a valid
// floating point value" (or "'<text>' is out of range" for a number of magnitude 1.0e13 or
// more) and the file name with the line number. The quoted text is cut to 60 bytes and its
// control bytes are written as \xNN, so the message stays short and printable.
class EConvertError : public EDataFileError {
public:
    using EDataFileError::EDataFileError;
};

// Decimal columns of the data file must be finite numbers of magnitude below this: the scene
// bounds start from it, and every coordinate must be able to move them.
inline constexpr double cDecimalColumnLimit = 1.0e13;

// Loads fileName into doc.
// scaleBoxText is the text of the load-scale box: its integer becomes doc.loadScale, 500 when
// it holds no integer or 0. initialise is the "初期化" box: when true the colour rules are
// applied to every group. The record grammar and the grouping rules are those of the data
// file format; tables grow as needed. A polyline or face vertex that continues a figure joins
// the group of the last vertex of its kind; one with no figure of its kind before it is
// skipped. Groups are looked up with the record's names at full length while items store them
// cut to the field size, so each record with a name longer than its field registers a group of
// its own.
// A file that starts with a UTF-8 byte-order mark, or is UTF-8 throughout with at least one
// multi-byte character, is read as UTF-8 and converted to Shift-JIS (ToShiftJisLines). Columns
// beyond a record's last one are ignored. Returns false when the file cannot be opened: doc is left
// exactly as it was and one notice naming the file is added to log. On success the item tables,
// groups, bounds and loadScale hold the new load, the log is cleared and holds the summary line,
// its notices are replaced by those of the load (the byte-order mark; non-blank columns beyond a
// record's last one, the sign of a comma used as decimal separator; at most cMaxLoadNotices and a
// count of the rest), each naming the file and the line, and true is returned. The second line of a
// two-point line may carry any columns after its last one without a notice. Throws EConvertError on
// a decimal column that does not convert or is out of range, and EDataFileError on a line holding a
// NUL byte: doc and log are then left exactly as they were.
bool LoadDataFile(TDocument& doc, const std::string& fileName, std::string_view scaleBoxText,
                  bool initialise, TMessageLog& log);

// Notice lines one load writes at most, besides the line counting the others.
inline constexpr int cMaxLoadNotices = 20;

// The summary line the loader writes (Shift-JIS).
std::string LoadSummary(const TDocument& doc);

// Applies the colour rules of doc.ColourRuleTable to every group (the "初期化" pass of a load).
void ApplyColourRules(TDocument& doc);

// Returns the text before the first comma of rest and removes it and the comma from rest; with
// no comma returns all of rest and leaves rest empty. No trimming, no quoting.
std::string_view SplitField(std::string_view& rest);

// SplitField, then trims the field: empty gives 0, anything else is converted as a decimal.
// Throws EConvertError (file name and line taken from the arguments) when it does not convert.
double SplitFloat(std::string_view& rest, const std::string& fileName = {}, int lineNo = 0);

// Strict decimal conversion of a column, surrounding blanks allowed. Returns false when text
// is empty or not a number.
bool TryParseFloat(std::string_view text, double& value);

// Integer conversion: blanks allowed around an optional sign and decimal digits. Returns false
// when text is anything else or the value does not fit 32 bits.
bool TryParseInt(std::string_view text, int& value);

// Integer conversion of a column with a default: blanks allowed around an optional sign and
// digits; anything else, or a value outside 32 bits, gives fallback.
int ParseIntDef(std::string_view text, int fallback);

// Removes leading and trailing blanks and control characters (bytes up to 0x20).
std::string_view TrimName(std::string_view text);

// Finds the first group, from index 1 up, of this kind (for ikLine also ikPolyline) whose stored
// name, rptname and dddname equal the record's full texts. A text longer than its field is
// stored cut, so it never matches again and each such record registers a group of its own, as
// the drawings' exporters have always seen it. Returns the index in groupIndex and true, or
// false when none matches.
bool FindGroup(const TDocument& doc, int kind, std::string_view name, std::string_view rptname,
               std::string_view dddname, int& groupIndex);

// Appends a group with its registration values and returns its index. onoff is 1 exactly when
// the trimmed dddname is not empty.
int AddGroup(TDocument& doc, int kind, std::string_view name, std::string_view rptname,
             std::string_view dddname, double ddd);

// True when LineTable holds a line with these names (as stored) whose six coordinates each
// differ by less than 1.0e-5 from the given ones, in the same orientation.
bool LineExists(const TDocument& doc, std::string_view name, std::string_view rptname,
                std::string_view dddname, double x1, double y1, double z1, double x2, double y2,
                double z2);

double Min3(double a, double b, double c);
double Max3(double a, double b, double c);

} // namespace hk
