// The colour rule file: group colours and materials by item name and report name.
#pragma once

#include "app/document.h"
#include "engine/errors.h"

#include <string>

namespace hk {

// The colour rule file could not be opened or read.
class EColourRuleFileError : public Exception {
public:
    using Exception::Exception;
};

// Reads the colour rule file fileName into doc.ColourRuleTable, replacing what it held.
// Each line "name,rptname,R,G,B" gives an RGB rule (colourMode 1), "name,rptname,material"
// a material rule (colourMode 2); lines with an empty name are skipped.
// Throws EColourRuleFileError, naming the file, when it cannot be opened; doc is then unchanged.
void LoadColourRules(TDocument& doc, const std::string& fileName);

} // namespace hk
