// TGLMaterialScripter: runs a material script, a line-oriented text that defines named
// materials, into a material library. Lines are matched with substring and prefix tests (see
// script_values.h); which line is read when is part of the format:
//
//   header line (never read)
//   material {            <- a line holding "{" and "material" opens a block
//   name=Steel            <- material statements, then texture/BackProperties/frontProperties
//   frontProperties {        blocks, each closed by a line holding "}"
//   diffuse=(1;0.5;0.5;0.5)  (colours are alpha;red;green;blue)
//   }
//   }                     <- closes the material; the next line is only checked for "}"
//                         <- so blocks are separated by at least one line
//   }                     <- the first top-level line holding "}" ends the script
#pragma once

#include "engine/component.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hk {

class TGLLibMaterial;
class TGLMaterialLibrary;
class TGLTexture;
class TGLFaceProperties;

// Where the scripter writes its stage lines ("Stage is at : name", "File loaded : ...").
using TScriptLogSink = std::function<void(std::string_view line)>;

// A shader a script may name by the shader component's name. A new item is named "Shader";
// setting the shader copies its component name into Name. The shader is a weak link, cleared
// when the component goes away.
struct TGLShaderItem {
    TGLComponent* Shader = nullptr;
    std::string Name = "Shader";
};

// A material library a script may name by the library component's name (weak link).
struct TGLMaterialLibraryItem {
    TGLMaterialLibrary* MaterialLibrary = nullptr;
    std::string Name;
};

class TGLMaterialScripter : public TGLComponent {
public:
    TGLMaterialScripter() = default;
    ~TGLMaterialScripter() override;

    const std::vector<std::string>& Script() const { return script_; }
    // Copies the lines; the script then has no file name.
    void SetScript(const std::vector<std::string>& lines);
    // Reads the file's lines (split at CR LF, LF or a lone CR, line ends dropped) into Script
    // and remembers the file name for error messages. Returns false, leaving Script as it was,
    // when the file cannot be read.
    bool LoadScriptFromFile(const std::string& fileName);
    // The file the script came from, empty when set from lines.
    const std::string& ScriptFileName() const { return scriptFileName_; }

    TGLMaterialLibrary* MaterialLibrary() const { return library_; }
    // A weak link, cleared when the library goes away. Setting none is ignored.
    void SetMaterialLibrary(TGLMaterialLibrary* library);

    // Shaders and libraries a script may name. Their links are weak: link them with
    // AddShader / AddMaterialLibrary so that they are cleared when the component goes away.
    const std::vector<TGLShaderItem>& Shaders() const { return shaders_; }
    // Appends an item for the shader, named after it ("Shader" for none).
    void AddShader(TGLComponent* shader);
    const std::vector<TGLMaterialLibraryItem>& MaterialLibraries() const { return libraries_; }
    // Appends an item for the library with the given item name.
    void AddMaterialLibrary(TGLMaterialLibrary* library, const std::string& name = std::string());

    bool AppendToMaterialLibrary() const { return append_; }
    void SetAppendToMaterialLibrary(bool v) { append_ = v; }
    bool OverwriteToMaterialLibrary() const { return overwrite_; }
    void SetOverwriteToMaterialLibrary(bool v) { overwrite_ = v; }

    // Setting an empty sink is ignored.
    void SetDebugLog(TScriptLogSink log);

    // Interprets Script once into MaterialLibrary. Throws EMaterialScriptError (naming the
    // file and line) when the script ends without its closing "}" line, when a line beyond
    // the last one would be read, when a shininess is no integer, and after 1,280,000 steps.
    // Materials of the blocks finished before the error stay in the library, and so does the
    // block being read, under its temporary name.
    void Run();

protected:
    void Notification(TGLComponent* component, TOperation operation) override;

private:
    class TRun;

    std::vector<std::string> script_;
    std::string scriptFileName_;
    TGLMaterialLibrary* library_ = nullptr;
    std::vector<TGLShaderItem> shaders_;
    std::vector<TGLMaterialLibraryItem> libraries_;
    bool append_ = true;
    bool overwrite_ = false;
    TScriptLogSink log_;
};

} // namespace hk
