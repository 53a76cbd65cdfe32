// Reading a text file of CR LF (or LF) lines as raw bytes, and naming a line of it in messages.
#pragma once

#include <string>
#include <vector>

namespace hk {

// Reads fileName and splits it into lines at LF, CR LF or a lone CR; the line ends are not
// kept and a last line without a line end counts. Returns false, leaving lines empty, when the
// file cannot be opened or read (missing, a folder, no permission).
bool ReadTextLines(const std::string& fileName, std::vector<std::string>& lines);

// The place of a message about line lineNo (1-based) of a file: "name: line N", in Shift-JIS
// like every text the window shows.
std::string FileLinePlace(const std::string& fileName, int lineNo);

} // namespace hk
