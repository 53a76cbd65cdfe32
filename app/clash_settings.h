// The clash judgement's settings in the settings file: section [clash] with the keys
// tolerance, clearance and connected (1 or 0), read at start-up and written at close.
#pragma once

#include "app/clash_type.h"

#include <string>
#include <vector>

namespace hk {

class TIniFile;

// The [clash] section of a settings file. A missing section or key gives the default; a
// value that is not a number of 0 or more (tolerance, clearance) or not 0 or 1 (connected)
// gives the default too, with a notice (UTF-8) naming the file, the line, the key and the
// value.
TClashSettings ReadClashSettings(const TIniFile& ini, std::vector<std::string>& notices);

// Sets the three keys of [clash] in ini, leaving the rest of the file alone.
void WriteClashSettings(TIniFile& ini, const TClashSettings& settings);

} // namespace hk
