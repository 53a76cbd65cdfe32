// TGLTexture: the texture settings a material carries, each settable, copied and notified. The
// material script sets the mapping and the texture mode and consumes its other texture
// statements without a target; drawing reads none of them. Pictures are not decoded: an image
// only records which class it is and which files it names, so a texture never changes
// drawing; disabled, absent and enabled-but-empty textures all draw the same.
#pragma once

#include "engine/color.h"
#include "engine/update_able_object.h"
#include "engine/vector_types.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace hk {

enum TGLTextureMode { tmDecal, tmModulate, tmBlend, tmReplace };
enum TGLTextureMappingMode {
    tmmUser,
    tmmObjectLinear,
    tmmEyeLinear,
    tmmSphere,
    tmmCubeMapReflection,
    tmmCubeMapNormal,
    tmmCubeMapLight0,
    tmmCubeMapCamera
};
enum TGLTextureCompression { tcDefault, tcNone, tcStandard, tcHighQuality, tcHighSpeed };
enum TGLTextureFilteringQuality { tfIsotropic, tfAnisotropic };
enum TGLTextureImageAlpha {
    tiaDefault,
    tiaAlphaFromIntensity,
    tiaSuperBlackTransparent,
    tiaLuminance,
    tiaLuminanceSqrt,
    tiaOpaque,
    tiaTopLeftPointColorTransparent,
    tiaInverseLuminance,
    tiaInverseLuminanceSqrt
};
enum TGLMagFilter { maNearest, maLinear };
enum TGLMinFilter {
    miNearest,
    miLinear,
    miNearestMipmapNearest,
    miLinearMipmapNearest,
    miNearestMipmapLinear,
    miLinearMipmapLinear
};
enum TGLTextureFormat {
    tfDefault,
    tfRGB,
    tfRGBA,
    tfRGB16,
    tfRGBA16,
    tfAlpha,
    tfLuminance,
    tfLuminanceAlpha,
    tfIntensity,
    tfNormalMap
};
enum TGLTextureWrap { twBoth, twNone, twVertical, twHorizontal };
// The image classes a texture can hold.
enum TGLTextureImageClass { ticPersistentImage, ticBlankImage, ticPicFileImage, ticCubeMapImage };
// Faces of a cube-map image: +X, -X, +Y, -Y, +Z, -Z.
enum TGLCubeMapTarget { cmtPX, cmtNX, cmtPY, cmtNY, cmtPZ, cmtNZ };

class TGLTexture : public TGLUpdateAbleObject {
public:
    explicit TGLTexture(TGLNotifiable* owner);

    bool Disabled() const { return disabled_; }
    void SetDisabled(bool v);
    bool Enabled() const { return !disabled_; }
    void SetEnabled(bool v) { SetDisabled(!v); }
    TGLTextureMode TextureMode() const { return mode_; }
    void SetTextureMode(TGLTextureMode m) { Store(mode_, m); }
    TGLTextureMappingMode MappingMode() const { return mapping_; }
    void SetMappingMode(TGLTextureMappingMode m) { Store(mapping_, m); }
    const TVector& MappingSCoordinates() const { return sCoords_; }
    void SetMappingSCoordinates(const TVector& v);
    const TVector& MappingTCoordinates() const { return tCoords_; }
    void SetMappingTCoordinates(const TVector& v);
    TGLTextureCompression Compression() const { return compression_; }
    void SetCompression(TGLTextureCompression v) { Store(compression_, v); }
    TGLColor& EnvColor() { return envColor_; }
    const TGLColor& EnvColor() const { return envColor_; }
    TGLTextureFilteringQuality FilteringQuality() const { return filtering_; }
    void SetFilteringQuality(TGLTextureFilteringQuality v) { Store(filtering_, v); }
    TGLTextureImageAlpha ImageAlpha() const { return imageAlpha_; }
    void SetImageAlpha(TGLTextureImageAlpha v) { Store(imageAlpha_, v); }
    float ImageBrightness() const { return brightness_; }
    void SetImageBrightness(float v) { Store(brightness_, v); }
    float ImageGamma() const { return gamma_; }
    void SetImageGamma(float v) { Store(gamma_, v); }
    TGLMagFilter MagFilter() const { return magFilter_; }
    void SetMagFilter(TGLMagFilter v) { Store(magFilter_, v); }
    TGLMinFilter MinFilter() const { return minFilter_; }
    void SetMinFilter(TGLMinFilter v) { Store(minFilter_, v); }
    float NormalMapScale() const { return normalMapScale_; }
    void SetNormalMapScale(float v) { Store(normalMapScale_, v); }
    TGLTextureFormat TextureFormat() const { return format_; }
    void SetTextureFormat(TGLTextureFormat v) { Store(format_, v); }
    TGLTextureWrap TextureWrap() const { return wrap_; }
    void SetTextureWrap(TGLTextureWrap v) { Store(wrap_, v); }

    // ---- image -------------------------------------------------------------------------------
    TGLTextureImageClass ImageClass() const { return imageClass_; }
    // A new class starts with an empty image.
    void SetImageClass(TGLTextureImageClass c);
    // Name of the picture class a stored image was written with; a class that is not
    // registered loads as an empty picture.
    const std::string& ImageClassName() const { return imageClassName_; }
    void SetImageClassName(std::string name) { imageClassName_ = std::move(name); }
    // Persistent and blank images: the file the image was loaded from.
    const std::string& ImageFileName() const { return imageFile_; }
    void SetImageFileName(std::string path);
    // Picture-file images: the file the picture is read from when needed.
    const std::string& PictureFileName() const { return pictureFile_; }
    void SetPictureFileName(std::string path);
    // Cube-map images: one file per face.
    const std::string& CubeMapPicture(TGLCubeMapTarget face) const { return cubeFaces_[face]; }
    void SetCubeMapPicture(TGLCubeMapTarget face, std::string path);
    // Always false: no picture is decoded.
    bool HasImage() const { return false; }

    // Copies every setting and the image (one notification).
    void Assign(const TGLTexture& other);

private:
    template <class T> void Store(T& field, T value) {
        if (field != value) {
            field = value;
            NotifyChange(this);
        }
    }

    bool disabled_ = true;
    TGLTextureMode mode_ = tmDecal;
    TGLTextureMappingMode mapping_ = tmmUser;
    TVector sCoords_{1, 0, 0, 0};
    TVector tCoords_{0, 1, 0, 0};
    TGLTextureCompression compression_ = tcDefault;
    TGLColor envColor_;
    TGLTextureFilteringQuality filtering_ = tfIsotropic;
    TGLTextureImageAlpha imageAlpha_ = tiaDefault;
    float brightness_ = 1;
    float gamma_ = 1;
    TGLMagFilter magFilter_ = maLinear;
    TGLMinFilter minFilter_ = miLinearMipmapLinear;
    float normalMapScale_ = 0.125f;
    TGLTextureFormat format_ = tfDefault;
    TGLTextureWrap wrap_ = twBoth;
    TGLTextureImageClass imageClass_ = ticPersistentImage;
    std::string imageClassName_;
    std::string imageFile_;
    std::string pictureFile_;
    std::array<std::string, 6> cubeFaces_;
};

// One entry of a material's extended texture list: a texture and the unit it is meant for.
class TGLTextureExItem {
public:
    explicit TGLTextureExItem(TGLNotifiable* owner) : texture_(owner) {}
    TGLTexture& Texture() { return texture_; }
    const TGLTexture& Texture() const { return texture_; }
    int TextureIndex() const { return textureIndex_; }
    void SetTextureIndex(int v) { textureIndex_ = v; }

private:
    TGLTexture texture_;
    int textureIndex_ = 0;
};

// The extended texture list of a material (data only; textures never change drawing).
class TGLTextureEx {
public:
    explicit TGLTextureEx(TGLNotifiable* owner) : owner_(owner) {}
    int Count() const { return int(items_.size()); }
    // None when out of range.
    TGLTextureExItem* Items(int index) const {
        return (index >= 0 && index < Count()) ? items_[index].get() : nullptr;
    }
    TGLTextureExItem* Add() {
        items_.push_back(std::make_unique<TGLTextureExItem>(owner_));
        return items_.back().get();
    }
    void Clear() { items_.clear(); }

private:
    TGLNotifiable* owner_;
    std::vector<std::unique_ptr<TGLTextureExItem>> items_;
};

} // namespace hk
