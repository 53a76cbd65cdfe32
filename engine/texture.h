// TGLTexture: the texture settings a material carries. Pictures are not decoded, so a texture
// never changes drawing: disabled, absent and enabled-but-empty textures all draw the same.
#pragma once

#include "engine/update_able_object.h"
#include "engine/vector_types.h"

#include <string>

namespace hk {

enum TGLTextureMode { tmDecal, tmModulate, tmBlend, tmReplace };
enum TGLTextureMappingMode { tmmUser, tmmObjectLinear, tmmEyeLinear, tmmSphere };

class TGLTexture : public TGLUpdateAbleObject {
public:
    explicit TGLTexture(TGLNotifiable* owner) : TGLUpdateAbleObject(owner) {}

    bool Disabled() const { return disabled_; }
    void SetDisabled(bool v);
    bool Enabled() const { return !disabled_; }
    void SetEnabled(bool v) { SetDisabled(!v); }
    TGLTextureMode TextureMode() const { return mode_; }
    void SetTextureMode(TGLTextureMode m);
    TGLTextureMappingMode MappingMode() const { return mapping_; }
    void SetMappingMode(TGLTextureMappingMode m);
    const TVector& MappingSCoordinates() const { return sCoords_; }
    void SetMappingSCoordinates(const TVector& v);
    const TVector& MappingTCoordinates() const { return tCoords_; }
    void SetMappingTCoordinates(const TVector& v);
    // Name of the picture class the stored image was written with; a class that is not
    // registered loads as an empty picture.
    const std::string& ImageClassName() const { return imageClass_; }
    void SetImageClassName(std::string name) { imageClass_ = std::move(name); }
    // Always false: no picture is decoded.
    bool HasImage() const { return false; }

private:
    bool disabled_ = true;
    TGLTextureMode mode_ = tmDecal;
    TGLTextureMappingMode mapping_ = tmmUser;
    TVector sCoords_{1, 0, 0, 0};
    TVector tCoords_{0, 1, 0, 0};
    std::string imageClass_;
};

} // namespace hk
