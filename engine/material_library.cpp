// Library materials: names and hashes, users, texture placement and the library component.
#include "engine/material_library.h"

#include "engine/vector_geometry.h"

#include <GL/gl.h>

#include <algorithm>

namespace hk {

std::uint32_t ComputeNameHashKey(const std::string& name) {
    auto hash = static_cast<std::uint32_t>(name.size());
    for (unsigned char b : name) {
        hash = b + 2u * hash;
    }
    return hash;
}

// ---- TGLLibMaterial ---------------------------------------------------------------------

TGLLibMaterial::TGLLibMaterial(TGLLibMaterials* collection)
    : collection_(collection), material_(this), textureOffset_(this, NullHmgVector, csVector),
      textureScale_(this, XYZHmgVector, csVector) {
    nameHash_ = ComputeNameHashKey(name_);
}

TGLLibMaterial::~TGLLibMaterial() {
    for (TGLMaterial* m : users_.Take()) {
        m->libMaterial_ = nullptr;
        m->NotifyLinkChange();
    }
    std::vector<TGLLibMaterial*> libUsers;
    libUsers.swap(libUsers_);
    for (TGLLibMaterial* l : libUsers) {
        l->texture2_ = nullptr;
        l->texture2Resolved_ = false;
    }
    if (texture2_) {
        texture2_->RemoveLibUser(this);
    }
}

TGLMaterialLibrary* TGLLibMaterial::Library() const {
    return collection_ ? collection_->Owner() : nullptr;
}

int TGLLibMaterial::Index() const {
    return collection_ ? collection_->IndexOf(this) : -1;
}

void TGLLibMaterial::SetName(const std::string& name) {
    if (name == name_) {
        return;
    }
    TGLMaterialLibrary* lib = Library();
    if ((lib && lib->IsLoading()) || collection_ == nullptr) {
        name_ = name;
    } else {
        name_ = collection_->MakeUniqueName(name, this);
    }
    nameHash_ = ComputeNameHashKey(name_);
}

void TGLLibMaterial::SetTexture2Name(const std::string& name) {
    if (name == texture2Name_) {
        return;
    }
    texture2Name_ = name;
    if (texture2_) {
        texture2_->RemoveLibUser(this);
        texture2_ = nullptr;
    }
    texture2Resolved_ = false;
    NotifyUsers();
}

TGLLibMaterial* TGLLibMaterial::Texture2() {
    if (!texture2Resolved_) {
        texture2Resolved_ = true;
        TGLMaterialLibrary* lib = Library();
        TGLLibMaterial* found = lib ? lib->LibMaterialByName(texture2Name_) : nullptr;
        if (found && found != this) {
            texture2_ = found;
            found->AddLibUser(this);
        }
    }
    return texture2_;
}

void TGLLibMaterial::AddUser(TGLMaterial* m) {
    users_.Add(m);
}

void TGLLibMaterial::RemoveUser(TGLMaterial* m) {
    users_.Remove(m);
}

void TGLLibMaterial::AddLibUser(TGLLibMaterial* m) {
    if (std::find(libUsers_.begin(), libUsers_.end(), m) == libUsers_.end()) {
        libUsers_.push_back(m);
    }
}

void TGLLibMaterial::RemoveLibUser(TGLLibMaterial* m) {
    libUsers_.erase(std::remove(libUsers_.begin(), libUsers_.end(), m), libUsers_.end());
}

void TGLLibMaterial::UpdateTextureMatrix() {
    TAffineVector offset = textureOffset_.GetXYZ(), scale = textureScale_.GetXYZ();
    textureMatrixIsIdentity_ =
        VectorEquals(offset, NullVector) && VectorEquals(scale, TAffineVector{1, 1, 1});
    textureMatrix_ = CreateScaleMatrix(scale);
    textureMatrix_[3] = VectorMake(offset, 1);
}

void TGLLibMaterial::SetShader(TGLShader* shader) {
    TGLMaterialLibrary* lib = Library();
    if (shader == shader_ || lib == nullptr) {
        return;
    }
    shader_ = shader;
    if (shader_) {
        lib->FreeNotification(shader_);
    }
    NotifyUsers();
}

void TGLLibMaterial::Apply(TRenderContextInfo& rci) {
    if (shader_ && shader_->ShaderStyle() != ssHighLevel) {
        shader_->Apply(rci);
        if (shader_->ShaderStyle() == ssReplace) {
            return;
        }
    }
    Texture2();
    textureMatrixLoaded_ = false;
    if (!textureMatrixIsIdentity_ && material_.HasTexture() && material_.Texture().Enabled()) {
        glMatrixMode(GL_TEXTURE);
        glLoadMatrixf(textureMatrix_.data());
        glMatrixMode(GL_MODELVIEW);
        textureMatrixLoaded_ = true;
    }
    material_.ApplyMaterial(rci);
    if (shader_ && shader_->ShaderStyle() == ssHighLevel) {
        shader_->Apply(rci);
    }
}

bool TGLLibMaterial::UnApply(TRenderContextInfo& rci) {
    if (shader_ && shader_->ShaderStyle() == ssReplace) {
        return shader_->UnApply(rci);
    }
    // A high-level shader asking for another pass keeps the material applied for it.
    if (shader_ && shader_->ShaderStyle() == ssHighLevel && shader_->UnApply(rci)) {
        return true;
    }
    bool again = material_.UnapplyMaterial(rci);
    if (textureMatrixLoaded_) {
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        textureMatrixLoaded_ = false;
    }
    if (shader_ && shader_->ShaderStyle() == ssLowLevel) {
        again = shader_->UnApply(rci) || again;
    }
    return again;
}

void TGLLibMaterial::NotifyUsers() {
    if (notifying_) {
        return;
    }
    notifying_ = true;
    // A user may unlink while being told, so work from a copy.
    std::vector<TGLMaterial*> users = users_.Items();
    for (TGLMaterial* m : users) {
        m->NotifyChange(this);
    }
    std::vector<TGLLibMaterial*> libUsers = libUsers_;
    for (TGLLibMaterial* l : libUsers) {
        l->NotifyUsers();
    }
    notifying_ = false;
}

void TGLLibMaterial::NotifyChange(TGLNotifiable* sender) {
    if (sender == &textureOffset_ || sender == &textureScale_) {
        UpdateTextureMatrix();
    }
    NotifyUsers();
}

// ---- TGLLibMaterials --------------------------------------------------------------------

TGLLibMaterials::~TGLLibMaterials() {
    Clear();
}

TGLLibMaterial* TGLLibMaterials::Items(int index) const {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return items_[index].get();
}

TGLLibMaterial* TGLLibMaterials::Add() {
    auto item = std::make_unique<TGLLibMaterial>(this);
    TGLLibMaterial* raw = item.get();
    items_.push_back(std::move(item));
    raw->SetName("LibMaterial");
    return raw;
}

TGLLibMaterial* TGLLibMaterials::FindLibMaterial(const std::string& name) const {
    std::uint32_t hash = ComputeNameHashKey(name);
    for (const auto& item : items_) {
        if (item->nameHash_ == hash && item->name_ == name) {
            return item.get();
        }
    }
    return nullptr;
}

int TGLLibMaterials::IndexOf(const TGLLibMaterial* item) const {
    for (int i = 0; i < Count(); ++i) {
        if (items_[i].get() == item) {
            return i;
        }
    }
    return -1;
}

void TGLLibMaterials::Delete(int index) {
    if (index < 0 || index >= Count()) {
        return;
    }
    // Out of the list before it is destroyed, so look-ups from its users no longer find it.
    std::unique_ptr<TGLLibMaterial> doomed = std::move(items_[index]);
    items_.erase(items_.begin() + index);
}

void TGLLibMaterials::Clear() {
    while (!items_.empty()) {
        Delete(Count() - 1);
    }
}

std::string TGLLibMaterials::MakeUniqueName(const std::string& name,
                                            const TGLLibMaterial* except) const {
    auto taken = [&](const std::string& candidate) {
        TGLLibMaterial* found = FindLibMaterial(candidate);
        return found != nullptr && found != except;
    };
    if (!taken(name)) {
        return name;
    }
    for (int n = 1;; ++n) {
        std::string candidate = name + std::to_string(n);
        if (!taken(candidate)) {
            return candidate;
        }
    }
}

// ---- TGLMaterialLibrary -----------------------------------------------------------------

TGLMaterialLibrary::TGLMaterialLibrary() : materials_(this) {}

TGLMaterialLibrary::~TGLMaterialLibrary() {
    NotifyFreeing();
    for (TGLMaterial* m : referrers_.Take()) {
        m->library_ = nullptr;
    }
    materials_.Clear();
}

TGLLibMaterial* TGLMaterialLibrary::AddMaterial(const std::string& name) {
    TGLLibMaterial* item = materials_.Add();
    item->SetName(name);
    return item;
}

void TGLMaterialLibrary::Notification(TGLComponent* component, TOperation operation) {
    if (operation != opRemove) {
        return;
    }
    for (int i = 0; i < materials_.Count(); ++i) {
        TGLLibMaterial* item = materials_[i];
        if (item->shader_ == component) {
            item->shader_ = nullptr;
        }
    }
}

void TGLMaterialLibrary::AddReferrer(TGLMaterial* m) {
    referrers_.Add(m);
}

void TGLMaterialLibrary::RemoveReferrer(TGLMaterial* m) {
    referrers_.Remove(m);
}

} // namespace hk
