// Reading a text file of CR LF (or LF) lines as raw bytes.
#pragma once

#include <string>
#include <vector>

namespace hk {

// Reads fileName and splits it into lines at LF, CR LF or a lone CR; the line ends are not
// kept and a last line without a line end counts. Returns false, leaving lines empty, when the
// file cannot be opened or read (missing, a folder, no permission).
bool ReadTextLines(const std::string& fileName, std::vector<std::string>& lines);

} // namespace hk
