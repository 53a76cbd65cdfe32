// The material script interpreter. One TRun holds the state of a single run: the line index,
// the step counter, the end-of-script flag, the material being built and the work string.
#include "script/material_scripter.h"

#include "engine/material_library.h"
#include "script/script_error.h"
#include "script/script_values.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace hk {
namespace {

constexpr const char* cNoClosing = "User Error : No closing \"}\"";
constexpr const char* cInfiniteLoop = "Internal Error : Infinate Loop";
// The end check that reaches this count stops the run.
constexpr long cStepLimit = 1280001;

const TScriptEnumName<TBlendingMode> cBlendingModes[] = {
    {"bmOpaque", bmOpaque},
    {"bmTransparency", bmTransparency},
    {"bmAdditive", bmAdditive},
    {"bmAlphaTest50", bmAlphaTest50},
    {"bmAlphaTest100", bmAlphaTest100},
};
const TScriptEnumName<TFaceCulling> cFaceCullings[] = {
    {"fcBufferDefault", fcBufferDefault}, {"fcCull", fcCull}, {"fcNoCull", fcNoCull}};
const TScriptEnumName<TPolygonMode> cPolygonModes[] = {
    {"pmFill", pmFill}, {"pmLines", pmLines}, {"pmPoints", pmPoints}};
const TScriptEnumName<TGLTextureMode> cTextureModes[] = {{"tmDecal", tmDecal},
                                                         {"tmModulate", tmModulate},
                                                         {"tmBlend", tmBlend},
                                                         {"tmReplace", tmReplace}};
// The cube-map mapping modes of the language have no counterpart in the engine's textures;
// like any unknown name they leave the mode unchanged.
const TScriptEnumName<TGLTextureMappingMode> cMappingModes[] = {
    {"tmmUser", tmmUser},
    {"tmmObjectLinear", tmmObjectLinear},
    {"tmmEyeLinear", tmmEyeLinear},
    {"tmmSphere", tmmSphere}};

enum class TImageKind { Persistent, Blank, PicFile, CubeMap };

struct TImageBlock {
    const char* opener; // the value of "imageclassname", spaces removed, ignoring case
    TImageKind kind;
};
const TImageBlock cImageBlocks[] = {{"persistentimage{", TImageKind::Persistent},
                                    {"blankimage{", TImageKind::Blank},
                                    {"picfileimage{", TImageKind::PicFile},
                                    {"cubemapimage{", TImageKind::CubeMap}};
const char* const cCubeMapFaces[] = {"picturepx", "picturenx", "picturepy",
                                     "pictureny", "picturepz", "picturenz"};

bool FileExists(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

} // namespace

class TGLMaterialScripter::TRun {
public:
    explicit TRun(TGLMaterialScripter& owner) : owner_(owner), lines_(owner.script_) {}

    void Script() {
        do {
            ++index_;
            if (Contains("{") && Contains("material"))
                MaterialBlock();
            EndCheck();
        } while (!BlockEnd());
    }

private:
    // ---- line access ---------------------------------------------------------------------

    const std::string& Line() const {
        if (index_ >= long(lines_.size()))
            throw Error("List index out of bounds (" + std::to_string(index_) +
                            "): the script ends before a closing \"}\"",
                        long(lines_.size()));
        return lines_[std::size_t(index_)];
    }
    bool Contains(std::string_view key) const { return ContainsText(Line(), key); }
    bool Statement(std::string_view keyword) const {
        if (!IsStatement(Line(), keyword))
            return false;
        Log("Stage is at : " + std::string(keyword));
        return true;
    }
    std::string Value() const { return std::string(StatementValue(Line())); }
    void Log(const std::string& line) const {
        if (owner_.log_)
            owner_.log_(line);
    }
    EMaterialScriptError Error(const std::string& message, long line) const {
        return EMaterialScriptError(message, owner_.scriptFileName_, int(line));
    }

    void EndCheck() {
        if (index_ >= long(lines_.size())) {
            endOfScript_ = true;
            throw Error(cNoClosing, long(lines_.size()));
        }
        if (++steps_ == cStepLimit)
            throw Error(cInfiniteLoop, index_ + 1);
    }
    // A line holding "}" ends the block, and the index moves past it.
    bool BlockEnd() {
        if (endOfScript_)
            return true;
        if (Line().find('}') == std::string::npos)
            return false;
        ++index_;
        return true;
    }

    // ---- values --------------------------------------------------------------------------

    template <class E, std::size_t N> bool Enumeration(const TScriptEnumName<E> (&names)[N], E& v) {
        work_ = Value();
        return MatchEnumeration(work_, names, v);
    }
    // Colours are written alpha first: (alpha;red;green;blue).
    void ColourValue(TGLColor& colour) const {
        std::array<float, 4> c{};
        if (CutFourNumbers(Value(), c))
            colour.SetColor(c[1], c[2], c[3], c[0]);
    }
    // Coordinates are written (w;x;y;z).
    bool CoordinatesValue(TVector& v) const {
        std::array<float, 4> c{};
        if (!CutFourNumbers(Value(), c))
            return false;
        v = TVector{c[1], c[2], c[3], c[0]};
        return true;
    }
    void VectorValue(TGLCoordinates& coordinates) const {
        std::array<float, 3> c{};
        if (CutThreeNumbers(Value(), c))
            coordinates.SetVector(c[0], c[1], c[2]);
    }
    int IntegerValue() const {
        const std::string value = Value();
        int n = 0;
        if (!TryParseScriptInteger(value, n))
            throw Error("'" + value + "' is not a valid integer value", index_ + 1);
        return n;
    }

    // ---- material blocks -----------------------------------------------------------------

    void MaterialBlock() {
        TGLMaterialLibrary* library = owner_.library_;
        if (!library)
            return;
        material_ = library->Materials().Add();
        do {
            ++index_;
            MaterialStatements();
            if (Line().find('{') != std::string::npos) {
                for (int pass = 0; pass < 3; ++pass) {
                    if (Contains("texture"))
                        TextureBlock();
                    if (Contains("BackProperties"))
                        FaceBlock(material_->Material().BackProperties(), "backproperties");
                    if (Contains("frontProperties"))
                        FaceBlock(material_->Material().FrontProperties(), "frontproperties");
                }
            }
            EndCheck();
        } while (!BlockEnd());
        Place(*library);
    }

    void MaterialStatements() {
        TGLMaterial& material = material_->Material();
        if (Statement("name"))
            material_->SetName("TAG" + Value());
        // The engine's library materials carry no shader, so a named shader has nothing to
        // attach to; the statement is recognised and logged only.
        Statement("shader");
        if (Statement("texture2name"))
            material_->SetTexture2Name(Value());
        if (Statement("textureoffset"))
            VectorValue(material_->TextureOffset());
        if (Statement("texturescale"))
            VectorValue(material_->TextureScale());
        if (Statement("materialoptions")) {
            std::string ignoreFog, noLighting;
            CutOptionPair(Value(), ignoreFog, noLighting);
            TMaterialOptions options = material.MaterialOptions();
            if (SameTextAscii(ignoreFog, "true"))
                options.Include(moIgnoreFog);
            if (SameTextAscii(noLighting, "true"))
                options.Include(moNoLighting);
            material.SetMaterialOptions(options);
        }
        if (Statement("libmaterialname"))
            material.SetLibMaterialName(Value());
        if (Statement("blendingmode")) {
            TBlendingMode mode = material.BlendingMode();
            if (Enumeration(cBlendingModes, mode))
                material.SetBlendingMode(mode);
        }
        if (Statement("faceculling")) {
            TFaceCulling culling = material.FaceCulling();
            if (Enumeration(cFaceCullings, culling))
                material.SetFaceCulling(culling);
        }
        if (Statement("materiallibrary")) {
            const std::string value = Value();
            TGLMaterialLibrary* named = nullptr;
            for (const TGLMaterialLibraryItem& item : owner_.libraries_)
                if (item.MaterialLibrary && SameTextAscii(item.MaterialLibrary->Name(), value))
                    named = item.MaterialLibrary;
            if (named)
                material.SetMaterialLibrary(named);
        }
    }

    void FaceBlock(TGLFaceProperties& face, const char* logName) {
        Log(logName);
        do {
            ++index_;
            if (Statement("ambient"))
                ColourValue(face.Ambient());
            if (Statement("diffuse"))
                ColourValue(face.Diffuse());
            if (Statement("emission"))
                ColourValue(face.Emission());
            if (Statement("specular"))
                ColourValue(face.Specular());
            if (Statement("polygonmode")) {
                TPolygonMode mode = face.PolygonMode();
                if (Enumeration(cPolygonModes, mode))
                    face.SetPolygonMode(mode);
            }
            if (Statement("shininess"))
                face.SetShininess(IntegerValue());
            EndCheck();
        } while (!BlockEnd());
    }

    // Settings the engine's textures do not hold (compression, environment colour, filters,
    // image alpha, brightness and gamma, formats, wrapping) are recognised and logged, so the
    // lines are consumed as the language reads them, but have no target.
    void TextureBlock() {
        Log("texture");
        TGLTexture& texture = material_->Material().Texture();
        do {
            ++index_;
            Statement("compression");
            Statement("envcolor");
            Statement("filteringquality");
            Statement("imagealpha");
            Statement("imagebrightness");
            if (Statement("imageclassname"))
                ImageBlocks(texture);
            Statement("imagegamma");
            Statement("magfilter");
            if (Statement("mappingmode")) {
                TGLTextureMappingMode mode = texture.MappingMode();
                if (Enumeration(cMappingModes, mode))
                    texture.SetMappingMode(mode);
            }
            TVector coordinates;
            if (Statement("mappingscoordinates") && CoordinatesValue(coordinates))
                texture.SetMappingSCoordinates(coordinates);
            if (Statement("mappingtcoordinates") && CoordinatesValue(coordinates))
                texture.SetMappingTCoordinates(coordinates);
            Statement("minfilter");
            Statement("normalmapscale");
            Statement("textureformat");
            if (Statement("texturemode")) {
                TGLTextureMode mode = texture.TextureMode();
                if (Enumeration(cTextureModes, mode))
                    texture.SetTextureMode(mode);
            }
            Statement("texturewrap");
            EndCheck();
        } while (!BlockEnd());
    }

    // "imageclassname" opens an image sub-block when its value, spaces removed, names one.
    void ImageBlocks(TGLTexture& texture) {
        work_.clear();
        for (char c : Value())
            if (c != ' ')
                work_ += c;
        const std::string opener = work_;
        for (const TImageBlock& block : cImageBlocks) {
            if (!SameTextAscii(opener, block.opener))
                continue;
            do {
                ++index_;
                ImageStatement(texture, block.kind);
                EndCheck();
            } while (!BlockEnd());
        }
    }

    // Pictures are not decoded; a named file that exists enables the texture.
    void ImageStatement(TGLTexture& texture, TImageKind kind) {
        switch (kind) {
        case TImageKind::Persistent:
        case TImageKind::Blank:
            if (Statement("file")) {
                const std::string path = Value();
                if (FileExists(path)) {
                    texture.SetEnabled(true);
                    Log("File loaded : " + path);
                }
            }
            break;
        case TImageKind::PicFile:
            if (Statement("picturefilename") && FileExists(Value()))
                texture.SetEnabled(true);
            break;
        case TImageKind::CubeMap:
            for (const char* face : cCubeMapFaces)
                Statement(face);
            texture.SetEnabled(true);
            break;
        }
    }

    // The block's material takes its final name, the text after "TAG", or gives way to a
    // material of that name, as the append and overwrite switches say.
    void Place(TGLMaterialLibrary& library) {
        TGLLibMaterials& materials = library.Materials();
        const std::string& name = material_->Name();
        work_ = name.size() > 3 ? name.substr(3) : std::string();
        TGLLibMaterial* existing = nullptr;
        for (int i = 0; i < materials.Count() && !existing; ++i)
            if (materials[i] != material_ && materials[i]->Name() == work_)
                existing = materials[i];
        if (!existing) {
            if (owner_.append_)
                material_->SetName(work_);
            else
                materials.Delete(material_->Index());
        } else if (owner_.overwrite_) {
            materials.Delete(existing->Index());
            material_->SetName(work_);
        } else if (owner_.append_) {
            materials.Delete(material_->Index());
        }
        material_ = nullptr;
    }

    TGLMaterialScripter& owner_;
    const std::vector<std::string>& lines_;
    long index_ = 0;
    long steps_ = 0;
    bool endOfScript_ = false;
    TGLLibMaterial* material_ = nullptr;
    std::string work_;
};

TGLMaterialScripter::~TGLMaterialScripter() {
    NotifyFreeing();
}

void TGLMaterialScripter::SetScript(const std::vector<std::string>& lines) {
    script_ = lines;
    scriptFileName_.clear();
}

bool TGLMaterialScripter::LoadScriptFromFile(const std::string& fileName) {
    std::error_code ec;
    if (fileName.find('\0') != std::string::npos || !std::filesystem::is_regular_file(fileName, ec))
        return false;
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return false;
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return false;
    script_ = SplitLines(text);
    scriptFileName_ = fileName;
    return true;
}

void TGLMaterialScripter::SetMaterialLibrary(TGLMaterialLibrary* library) {
    if (!library)
        return;
    library_ = library;
    FreeNotification(library);
}

void TGLMaterialScripter::AddShader(TGLComponent* shader) {
    TGLShaderItem item;
    if (shader) {
        item.Shader = shader;
        item.Name = shader->Name();
        FreeNotification(shader);
    }
    shaders_.push_back(item);
}

void TGLMaterialScripter::AddMaterialLibrary(TGLMaterialLibrary* library, const std::string& name) {
    libraries_.push_back(TGLMaterialLibraryItem{library, name});
    FreeNotification(library);
}

void TGLMaterialScripter::SetDebugLog(TScriptLogSink log) {
    if (log)
        log_ = std::move(log);
}

void TGLMaterialScripter::Run() {
    TRun run(*this);
    run.Script();
}

void TGLMaterialScripter::Notification(TGLComponent* component, TOperation operation) {
    if (operation != opRemove)
        return;
    if (component == library_)
        library_ = nullptr;
    for (TGLMaterialLibraryItem& item : libraries_)
        if (item.MaterialLibrary == component)
            item.MaterialLibrary = nullptr;
    for (TGLShaderItem& item : shaders_)
        if (item.Shader == component)
            item.Shader = nullptr;
}

} // namespace hk
