// The material script outside the window: the start-up step that runs "script1.txt" into the
// second material library with the script pane as its log, and the batch check
// "hkviewer --check-script FILE".
#pragma once

#include "app/message_log.h"

#include <filesystem>
#include <iosfwd>
#include <string>

namespace hk {

class TGLLibMaterial;
class TGLMaterialLibrary;
class TGLMaterialScripter;

inline constexpr const char* cMaterialScriptFileName = "script1.txt";

// Start-up: when "script1.txt" exists in folder, deletes every material of library, binds the
// scripter to it, makes pane the scripter's log, loads the file and runs it. Returns the error
// to show the user (UTF-8, naming the file and line); empty when the script ran or there is
// no such file. After an error the materials of the finished blocks stay in the library. The
// scripter keeps writing to pane on later runs, so pane has to outlive it.
std::string RunStartupMaterialScript(const std::filesystem::path& folder,
                                     TGLMaterialLibrary& library, TGLMaterialScripter& scripter,
                                     TMessageLog& pane);

// One line of the check report (Shift-JIS): the name, the blending mode's name, the front
// ambient, diffuse, emission and specular colours as r,g,b,a, and the front shininess,
// separated by tabs, numbers as "%g".
std::string MaterialSummaryLine(const TGLLibMaterial& material);

// The batch check: runs the file into an empty library with the start-up scripter's defaults
// (append, no overwrite), prints the scripter's log lines, then one summary line per material
// in library order, in UTF-8 on out. On a script error it prints the same and then the error
// on err, and returns 1; an unreadable file is reported on err with 1; 0 otherwise.
int RunScriptCheck(const std::string& fileName, std::ostream& out, std::ostream& err);

} // namespace hk
