// Face properties and materials: change reporting, library links and the apply/unapply pair
// of the render walk.
#include "engine/material.h"

#include "engine/material_library.h"
#include "engine/scene_object.h"

#include <GL/gl.h>

#include <algorithm>

namespace hk {

// ---- TGLFaceProperties -----------------------------------------------------------------

TGLFaceProperties::TGLFaceProperties(TGLNotifiable* owner)
    : TGLUpdateAbleObject(owner), ambient_(this, clrGray20), diffuse_(this, clrGray80),
      emission_(this, clrBlack), specular_(this, clrBlack) {}

void TGLFaceProperties::SetShininess(int v) {
    v = std::clamp(v, 0, 128);
    if (v != shininess_) {
        shininess_ = v;
        NotifyChange(this);
    }
}

void TGLFaceProperties::SetPolygonMode(TPolygonMode m) {
    if (m != polygonMode_) {
        polygonMode_ = m;
        NotifyChange(this);
    }
}

void TGLFaceProperties::Assign(const TGLFaceProperties& other) {
    BeginUpdate();
    ambient_.SetColor(other.ambient_.Color());
    diffuse_.SetColor(other.diffuse_.Color());
    emission_.SetColor(other.emission_.Color());
    specular_.SetColor(other.specular_.Color());
    SetShininess(other.shininess_);
    SetPolygonMode(other.polygonMode_);
    EndUpdate();
}

void TGLFaceProperties::Apply(TRenderContextInfo& rci, TGLFace face) const {
    rci.GLStates->SetGLMaterialColors(face, emission_.Color(), ambient_.Color(), diffuse_.Color(),
                                      specular_.Color(), shininess_);
    rci.GLStates->SetGLPolygonMode(face, polygonMode_);
}

void TGLFaceProperties::ApplyNoLighting(TRenderContextInfo& rci, TGLFace face) const {
    glColor4fv(&diffuse_.Color().x);
    rci.GLStates->SetGLPolygonMode(face, polygonMode_);
}

// ---- TGLMaterial ------------------------------------------------------------------------

TGLMaterial::TGLMaterial(TGLNotifiable* owner) : TGLUpdateAbleObject(owner), front_(this) {}

TGLMaterial::~TGLMaterial() {
    if (libMaterial_) {
        libMaterial_->RemoveUser(this);
    }
    if (library_) {
        library_->RemoveReferrer(this);
    }
}

TGLFaceProperties& TGLMaterial::BackProperties() {
    if (!back_) {
        back_ = std::make_unique<TGLFaceProperties>(this);
    }
    return *back_;
}

TGLTexture& TGLMaterial::Texture() {
    if (!texture_) {
        texture_ = std::make_unique<TGLTexture>(this);
    }
    return *texture_;
}

TGLTextureEx& TGLMaterial::TextureEx() {
    if (!textureEx_) {
        textureEx_ = std::make_unique<TGLTextureEx>(this);
    }
    return *textureEx_;
}

void TGLMaterial::SetBlendingMode(TBlendingMode m) {
    if (m != blendingMode_) {
        blendingMode_ = m;
        NotifyChange(this);
    }
}

void TGLMaterial::SetMaterialOptions(TMaterialOptions o) {
    if (!(o == options_)) {
        options_ = o;
        NotifyChange(this);
    }
}

void TGLMaterial::SetFaceCulling(TFaceCulling f) {
    if (f != faceCulling_) {
        faceCulling_ = f;
        NotifyChange(this);
    }
}

void TGLMaterial::SetMaterialLibrary(TGLMaterialLibrary* library) {
    if (library != library_) {
        if (library_) {
            library_->RemoveReferrer(this);
        }
        library_ = library;
        if (library_) {
            library_->AddReferrer(this);
        }
    }
    SetLibMaterialName(libMaterialName_);
}

bool TGLMaterial::WouldCycle(const TGLLibMaterial* target) const {
    auto* self = dynamic_cast<const TGLLibMaterial*>(Owner());
    if (self == nullptr) {
        return false;
    }
    for (const TGLLibMaterial* t = target; t != nullptr; t = t->Material().LibMaterial()) {
        if (t == self) {
            return true;
        }
    }
    return false;
}

void TGLMaterial::SetLibMaterialName(const std::string& name) {
    TGLLibMaterial* found = library_ ? library_->LibMaterialByName(name) : nullptr;
    if (found && WouldCycle(found)) {
        found = nullptr; // a library material may not end up applying itself
    }
    libMaterialName_ = name;
    if (found != libMaterial_) {
        Relink(found);
        NotifyLinkChange();
    }
}

void TGLMaterial::Relink(TGLLibMaterial* target) {
    if (libMaterial_) {
        libMaterial_->RemoveUser(this);
    }
    libMaterial_ = target;
    if (libMaterial_) {
        libMaterial_->AddUser(this);
    }
}

void TGLMaterial::NotifyLinkChange() {
    if (auto* obj = dynamic_cast<TGLBaseSceneObject*>(Owner())) {
        obj->StructureChanged();
    } else if (auto* lib = dynamic_cast<TGLLibMaterial*>(Owner())) {
        lib->NotifyUsers();
    }
}

void TGLMaterial::NotifyChange(TGLNotifiable* sender) {
    if (IsUpdating()) {
        return;
    }
    if (auto* obj = dynamic_cast<TGLBaseSceneObject*>(Owner())) {
        // Applied outside the display list: a re-render is enough.
        obj->NotifyChange(this);
    } else if (auto* lib = dynamic_cast<TGLLibMaterial*>(Owner())) {
        lib->NotifyUsers();
    } else {
        TGLUpdateAbleObject::NotifyChange(sender);
    }
}

void TGLMaterial::Assign(const TGLMaterial& other) {
    BeginUpdate();
    front_.Assign(other.front_);
    if (other.back_) {
        BackProperties().Assign(*other.back_);
    }
    SetBlendingMode(other.blendingMode_);
    SetMaterialOptions(other.options_);
    SetFaceCulling(other.faceCulling_);
    if (other.texture_) {
        Texture().Assign(*other.texture_);
    }
    libMaterialName_ = other.libMaterialName_;
    SetMaterialLibrary(other.library_);
    EndUpdate();
}

void TGLMaterial::ApplyMaterial(TRenderContextInfo& rci) {
    if (libMaterial_) {
        libMaterial_->Apply(rci);
        return;
    }
    TGLStateCache* cache = rci.GLStates;
    if (cache == nullptr) {
        return;
    }
    // A material drawn while another has lighting off counts too, so that lighting returns
    // only when the outermost one is un-applied.
    if (options_.Contains(moNoLighting)) {
        if (cache->IsEnabled(stLighting)) {
            cache->Disable(stLighting);
            ++rci.lightingDisabledCounter;
        } else if (rci.lightingDisabledCounter > 0) {
            ++rci.lightingDisabledCounter;
        }
    }
    if (cache->IsEnabled(stLighting)) {
        front_.Apply(rci, cmFront);
    } else {
        front_.ApplyNoLighting(rci, cmFront);
    }
    if (cache->IsEnabled(stCullFace)) {
        if ((faceCulling_ == fcBufferDefault && !rci.bufferFaceCull) || faceCulling_ == fcNoCull) {
            cache->Disable(stCullFace);
            BackProperties().Apply(rci, cmBack);
        }
    } else if (faceCulling_ == fcCull) {
        cache->Enable(stCullFace);
    } else if (faceCulling_ == fcNoCull) {
        BackProperties().Apply(rci, cmBack);
    } else if (rci.bufferFaceCull) {
        cache->Enable(stCullFace);
    } else {
        BackProperties().Apply(rci, cmBack);
    }
    if (!rci.ignoreBlendingRequests) {
        switch (blendingMode_) {
        case bmOpaque:
            cache->Disable(stBlend);
            cache->Disable(stAlphaTest);
            break;
        case bmTransparency:
            cache->Enable(stBlend);
            cache->Enable(stAlphaTest);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            break;
        case bmAdditive:
            cache->Enable(stBlend);
            cache->Enable(stAlphaTest);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE);
            break;
        case bmModulate:
            cache->Enable(stBlend);
            cache->Enable(stAlphaTest);
            glBlendFunc(GL_DST_COLOR, GL_ZERO);
            break;
        case bmAlphaTest50:
        case bmAlphaTest100:
            cache->Disable(stBlend);
            cache->Enable(stAlphaTest);
            glAlphaFunc(GL_GEQUAL, blendingMode_ == bmAlphaTest50 ? 0.5f : 1.0f);
            break;
        }
    }
    if (options_.Contains(moIgnoreFog)) {
        if (cache->IsEnabled(stFog)) {
            cache->Disable(stFog);
            ++rci.fogDisabledCounter;
        } else if (rci.fogDisabledCounter > 0) {
            ++rci.fogDisabledCounter;
        }
    }
    // Textures carry no decoded picture, so there is nothing to bind here.
}

bool TGLMaterial::UnapplyMaterial(TRenderContextInfo& rci) {
    if (libMaterial_) {
        return libMaterial_->UnApply(rci);
    }
    TGLStateCache* cache = rci.GLStates;
    if (cache == nullptr) {
        return false;
    }
    if (blendingMode_ == bmAlphaTest50 || blendingMode_ == bmAlphaTest100) {
        glAlphaFunc(GL_GREATER, 0);
    }
    if (options_.Contains(moNoLighting) && rci.lightingDisabledCounter > 0) {
        if (--rci.lightingDisabledCounter == 0) {
            cache->Enable(stLighting);
        }
    }
    if (options_.Contains(moIgnoreFog) && rci.fogDisabledCounter > 0) {
        if (--rci.fogDisabledCounter == 0) {
            cache->Enable(stFog);
        }
    }
    return false;
}

bool TGLMaterial::IsBlended() const {
    if (libMaterial_) {
        return libMaterial_->Material().IsBlended();
    }
    return blendingMode_ == bmTransparency || blendingMode_ == bmAdditive ||
           blendingMode_ == bmModulate;
}

} // namespace hk
