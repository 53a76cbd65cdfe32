// Texture settings with change notification.
#include "engine/texture.h"

#include "engine/vector_geometry.h"

namespace hk {

void TGLTexture::SetDisabled(bool v) {
    if (v != disabled_) {
        disabled_ = v;
        NotifyChange(this);
    }
}

void TGLTexture::SetTextureMode(TGLTextureMode m) {
    if (m != mode_) {
        mode_ = m;
        NotifyChange(this);
    }
}

void TGLTexture::SetMappingMode(TGLTextureMappingMode m) {
    if (m != mapping_) {
        mapping_ = m;
        NotifyChange(this);
    }
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

} // namespace hk
