// Materials: per-face colours (TGLFaceProperties), blending, options and face culling
// (TGLMaterial), or a link by name to a library material. The render walk applies a material
// before drawing an object and un-applies it afterwards, through the state cache.
#pragma once

#include "engine/color.h"
#include "engine/flags.h"
#include "engine/render_context_info.h"
#include "engine/slot_list.h"
#include "engine/state_cache.h"
#include "engine/texture.h"
#include "engine/update_able_object.h"

#include <memory>
#include <string>

namespace hk {

class TGLLibMaterial;
class TGLMaterialLibrary;

enum TBlendingMode {
    bmOpaque,
    bmTransparency,
    bmAdditive,
    bmAlphaTest50,
    bmAlphaTest100,
    bmModulate
};
enum TMaterialOption { moIgnoreFog, moNoLighting };
using TMaterialOptions = TFlags<TMaterialOption>;
enum TFaceCulling { fcBufferDefault, fcCull, fcNoCull };

class TGLFaceProperties : public TGLUpdateAbleObject {
public:
    explicit TGLFaceProperties(TGLNotifiable* owner);

    TGLColor& Ambient() { return ambient_; }
    TGLColor& Diffuse() { return diffuse_; }
    TGLColor& Emission() { return emission_; }
    TGLColor& Specular() { return specular_; }
    const TGLColor& Ambient() const { return ambient_; }
    const TGLColor& Diffuse() const { return diffuse_; }
    const TGLColor& Emission() const { return emission_; }
    const TGLColor& Specular() const { return specular_; }
    int Shininess() const { return shininess_; }
    // Clamped to OpenGL's range [0, 128].
    void SetShininess(int v);
    TPolygonMode PolygonMode() const { return polygonMode_; }
    void SetPolygonMode(TPolygonMode m);
    // Copies every value (one notification).
    void Assign(const TGLFaceProperties& other);

    // Lit: shininess and the four colours through the cache, then the polygon mode.
    void Apply(TRenderContextInfo& rci, TGLFace face) const;
    // Unlit: the current colour := Diffuse, then the polygon mode.
    void ApplyNoLighting(TRenderContextInfo& rci, TGLFace face) const;

private:
    TGLColor ambient_;
    TGLColor diffuse_;
    TGLColor emission_;
    int shininess_ = 0;
    TPolygonMode polygonMode_ = pmFill;
    TGLColor specular_;
};

class TGLMaterial : public TGLUpdateAbleObject {
public:
    // `owner` is the scene object or library material that owns the material (may be none).
    explicit TGLMaterial(TGLNotifiable* owner);
    ~TGLMaterial() override;

    // Created on first access.
    TGLFaceProperties& BackProperties();
    bool HasBackProperties() const { return back_ != nullptr; }
    TGLFaceProperties& FrontProperties() { return front_; }
    const TGLFaceProperties& FrontProperties() const { return front_; }
    TBlendingMode BlendingMode() const { return blendingMode_; }
    void SetBlendingMode(TBlendingMode m);
    TMaterialOptions MaterialOptions() const { return options_; }
    void SetMaterialOptions(TMaterialOptions o);
    // Created on first access.
    TGLTexture& Texture();
    bool HasTexture() const { return texture_ != nullptr; }
    TFaceCulling FaceCulling() const { return faceCulling_; }
    void SetFaceCulling(TFaceCulling f);
    // Created on first access.
    TGLTextureEx& TextureEx();
    bool HasTextureEx() const { return textureEx_ != nullptr; }

    TGLMaterialLibrary* MaterialLibrary() const { return library_; }
    // Stores the library (a weak link, cleared when it goes away), then re-resolves the name.
    void SetMaterialLibrary(TGLMaterialLibrary* library);
    const std::string& LibMaterialName() const { return libMaterialName_; }
    // Looks the name up in the library (exact, case-sensitive). A name that is not found
    // leaves the material unlinked; it then draws with its own properties.
    void SetLibMaterialName(const std::string& name);
    // The resolved link, or none.
    TGLLibMaterial* LibMaterial() const { return libMaterial_; }

    // Copies the properties and the link of another material.
    void Assign(const TGLMaterial& other);

    void ApplyMaterial(TRenderContextInfo& rci);
    // True when the object is to be drawn once more.
    bool UnapplyMaterial(TRenderContextInfo& rci);
    // The library material's answer when linked; else bmTransparency, bmAdditive and
    // bmModulate blend.
    bool IsBlended() const;

    // A scene-object owner reports a change; a library-material owner tells its users.
    void NotifyChange(TGLNotifiable* sender) override;

private:
    friend class TGLLibMaterial;
    friend class TGLMaterialLibrary;
    void Relink(TGLLibMaterial* target);
    void NotifyLinkChange();
    // Whether linking to `target` would make a library material apply itself.
    bool WouldCycle(const TGLLibMaterial* target) const;

    std::unique_ptr<TGLFaceProperties> back_;
    TGLFaceProperties front_;
    TBlendingMode blendingMode_ = bmOpaque;
    TMaterialOptions options_;
    std::unique_ptr<TGLTexture> texture_;
    TFaceCulling faceCulling_ = fcBufferDefault;
    TGLMaterialLibrary* library_ = nullptr;
    std::string libMaterialName_;
    TGLLibMaterial* libMaterial_ = nullptr;
    std::unique_ptr<TGLTextureEx> textureEx_;
    // Positions in the library's referrers and in the linked item's users.
    std::size_t referrerSlot_ = cNoSlot;
    std::size_t userSlot_ = cNoSlot;
};

} // namespace hk
