// The colour rule file: group colours and materials by item name and report name.
#pragma once

#include "app/document.h"
#include "engine/errors.h"

#include <string>
#include <vector>

namespace hk {

// The colour rule file could not be opened or read.
class EColourRuleFileError : public Exception {
public:
    using Exception::Exception;
};

// Reads the colour rule file fileName into doc.ColourRuleTable, replacing what it held.
// Each line "name,rptname,R,G,B" gives an RGB rule (colourMode 1), "name,rptname,material"
// a material rule (colourMode 2); lines with an empty name are skipped. The file is Shift-JIS,
// or UTF-8 as ToShiftJisLines recognises it.
// A colour that is not an integer reads as 255, one outside 0 to 255 is kept and a group takes
// its low byte; both are returned as notices (UTF-8 lines naming the file and the line)
// for the message area.
// Throws EColourRuleFileError, naming the file, when it cannot be opened; doc is then unchanged.
std::vector<std::string> LoadColourRules(TDocument& doc, const std::string& fileName);

} // namespace hk
