// The material script at start-up and in the batch check.
#include "app/script_check.h"

#include "app/error_text.h"
#include "app/sjis.h"
#include "engine/material_library.h"
#include "script/material_scripter.h"
#include "script/script_error.h"

#include <cstdio>
#include <ostream>
#include <system_error>
#include <vector>

namespace hk {
namespace {

const char* BlendingModeName(TBlendingMode mode) {
    switch (mode) {
    case bmOpaque:
        return "bmOpaque";
    case bmTransparency:
        return "bmTransparency";
    case bmAdditive:
        return "bmAdditive";
    case bmAlphaTest50:
        return "bmAlphaTest50";
    case bmAlphaTest100:
        return "bmAlphaTest100";
    case bmModulate:
        return "bmModulate";
    }
    return "?";
}

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

std::string Rgba(const TGLColor& colour) {
    return Number(colour.Red()) + "," + Number(colour.Green()) + "," + Number(colour.Blue()) + "," +
           Number(colour.Alpha());
}

} // namespace

std::string RunStartupMaterialScript(const std::filesystem::path& folder,
                                     TGLMaterialLibrary& library, TGLMaterialScripter& scripter,
                                     TMessageLog& pane) {
    const std::filesystem::path file = folder / cMaterialScriptFileName;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return {};
    library.Materials().Clear();
    scripter.SetMaterialLibrary(&library);
    scripter.SetDebugLog([&pane](std::string_view line) { pane.Add(line); });
    if (!scripter.LoadScriptFromFile(file.string()))
        return "cannot read the material script " + file.string();
    try {
        scripter.Run();
    } catch (const EMaterialScriptError& e) {
        return ErrorText(e);
    }
    return {};
}

std::string MaterialSummaryLine(const TGLLibMaterial& material) {
    const TGLMaterial& m = material.Material();
    const TGLFaceProperties& front = m.FrontProperties();
    std::string line = material.Name();
    line.append("\t").append(BlendingModeName(m.BlendingMode()));
    for (const TGLColor* colour :
         {&front.Ambient(), &front.Diffuse(), &front.Emission(), &front.Specular()})
        line.append("\t").append(Rgba(*colour));
    line.append("\t").append(Number(front.Shininess()));
    return line;
}

int RunScriptCheck(const std::string& fileName, std::ostream& out, std::ostream& err) {
    TGLMaterialLibrary library;
    TGLMaterialScripter scripter;
    scripter.SetMaterialLibrary(&library);
    std::vector<std::string> logLines;
    scripter.SetDebugLog([&logLines](std::string_view line) { logLines.emplace_back(line); });
    if (!scripter.LoadScriptFromFile(fileName)) {
        err << "hkviewer: cannot read the material script " << fileName << "\n";
        return 1;
    }
    std::string error;
    try {
        scripter.Run();
    } catch (const EMaterialScriptError& e) {
        error = ErrorText(e);
    }
    for (const std::string& line : logLines)
        out << SjisToUtf8(line) << "\n";
    for (int i = 0; i < library.Materials().Count(); ++i)
        out << SjisToUtf8(MaterialSummaryLine(*library.Materials()[i])) << "\n";
    if (!error.empty()) {
        err << "hkviewer: " << error << "\n";
        return 1;
    }
    return 0;
}

} // namespace hk
