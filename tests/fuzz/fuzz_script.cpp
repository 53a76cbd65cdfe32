// Fuzz target for the material script interpreter: any text either runs to its closing line
// or stops with EMaterialScriptError; the first byte picks the append and overwrite switches
// and whether a second library can be named. Every material left in the library is whole.
#include "engine/material_library.h"
#include "script/material_scripter.h"
#include "script/script_error.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const unsigned switches = size > 0 ? data[0] : 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    std::string line;
    for (char c : text.substr(size > 0 ? 1 : 0)) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    lines.push_back(line);

    hk::TGLMaterialLibrary library;
    hk::TGLMaterialLibrary other;
    other.SetName("other");
    other.AddMaterial("Steel");
    hk::TGLMaterialScripter scripter;
    scripter.SetMaterialLibrary(&library);
    scripter.SetAppendToMaterialLibrary((switches & 1) != 0);
    scripter.SetOverwriteToMaterialLibrary((switches & 2) != 0);
    if (switches & 4)
        scripter.AddMaterialLibrary(&other, "item");
    std::size_t logged = 0;
    scripter.SetDebugLog([&logged](std::string_view l) { logged += l.size(); });
    scripter.SetScript(lines);
    try {
        scripter.Run();
    } catch (const hk::EMaterialScriptError& e) {
        if (e.Line() < 0 || e.Line() > int(lines.size()))
            std::abort();
    }
    for (int i = 0; i < library.Materials().Count(); ++i) {
        hk::TGLLibMaterial* m = library.Materials()[i];
        if (m == nullptr || library.LibMaterialByName(m->Name()) == nullptr)
            std::abort();
        const int shininess = m->Material().FrontProperties().Shininess();
        if (shininess < 0 || shininess > 128)
            std::abort();
    }
    return 0;
}
