// Texture settings with change notification.
#include "engine/texture.h"

#include "engine/vector_geometry.h"

namespace hk {

TGLTexture::TGLTexture(TGLNotifiable* owner)
    : TGLUpdateAbleObject(owner), envColor_(this, {0, 0, 0, 0}) {}

void TGLTexture::SetDisabled(bool v) {
    Store(disabled_, v);
}

void TGLTexture::SetMappingSCoordinates(const TVector& v) {
    if (!VectorEquals(v, sCoords_)) {
        sCoords_ = v;
        NotifyChange(this);
    }
}

void TGLTexture::SetMappingTCoordinates(const TVector& v) {
    if (!VectorEquals(v, tCoords_)) {
        tCoords_ = v;
        NotifyChange(this);
    }
}

void TGLTexture::SetImageClass(TGLTextureImageClass c) {
    if (c == imageClass_) {
        return;
    }
    imageClass_ = c;
    imageFile_.clear();
    pictureFile_.clear();
    cubeFaces_ = {};
    NotifyChange(this);
}

void TGLTexture::SetImageFileName(std::string path) {
    imageFile_ = std::move(path);
    NotifyChange(this);
}

void TGLTexture::SetPictureFileName(std::string path) {
    pictureFile_ = std::move(path);
    NotifyChange(this);
}

void TGLTexture::SetCubeMapPicture(TGLCubeMapTarget face, std::string path) {
    cubeFaces_[face] = std::move(path);
    NotifyChange(this);
}

void TGLTexture::Assign(const TGLTexture& other) {
    BeginUpdate();
    SetDisabled(other.disabled_);
    SetTextureMode(other.mode_);
    SetMappingMode(other.mapping_);
    SetMappingSCoordinates(other.sCoords_);
    SetMappingTCoordinates(other.tCoords_);
    SetCompression(other.compression_);
    envColor_.SetColor(other.envColor_.Color());
    SetFilteringQuality(other.filtering_);
    SetImageAlpha(other.imageAlpha_);
    SetImageBrightness(other.brightness_);
    SetImageGamma(other.gamma_);
    SetMagFilter(other.magFilter_);
    SetMinFilter(other.minFilter_);
    SetNormalMapScale(other.normalMapScale_);
    SetTextureFormat(other.format_);
    SetTextureWrap(other.wrap_);
    imageClass_ = other.imageClass_;
    imageClassName_ = other.imageClassName_;
    imageFile_ = other.imageFile_;
    pictureFile_ = other.pictureFile_;
    cubeFaces_ = other.cubeFaces_;
    EndUpdate();
}

} // namespace hk
