// Reading a text file of CR LF (or LF) lines as raw bytes, bringing them to Shift-JIS, and
// naming a line of the file in messages.
#pragma once

#include <string>
#include <vector>

namespace hk {

// Reads fileName and splits it into lines at LF, CR LF or a lone CR; the line ends are not
// kept and a last line without a line end counts. Returns false, leaving lines empty, when the
// file cannot be opened or read (missing, a folder, no permission).
bool ReadTextLines(const std::string& fileName, std::vector<std::string>& lines);

// How the lines of a text file were written, as ToShiftJisLines found out.
enum class TTextEncoding { teShiftJis, teUtf8WithMark, teUtf8 };

// Brings the lines of a text file to Shift-JIS, the program's text. A file that starts with a
// UTF-8 byte-order mark, or that is valid UTF-8 as a whole and holds at least one multi-byte
// sequence, is converted from UTF-8 (the mark removed; characters Shift-JIS lacks become "?").
// Any other file is Shift-JIS (or plain ASCII) and is left as it is.
TTextEncoding ToShiftJisLines(std::vector<std::string>& lines);

// The place of a notice or an error about line lineNo (1-based) of a file: "name: line N", the
// name in the file system's bytes, as it was given.
std::string FileLinePlace(const std::string& fileName, int lineNo);

} // namespace hk
