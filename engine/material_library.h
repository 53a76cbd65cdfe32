// Named materials shared by many objects: TGLLibMaterial (a name with its hash, a material,
// texture placement and the list of materials that link to it), TGLLibMaterials (the ordered
// items, looked up by exact, case-sensitive name) and the TGLMaterialLibrary component.
#pragma once

#include "engine/component.h"
#include "engine/coordinates.h"
#include "engine/material.h"
#include "engine/shader.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hk {

class TGLLibMaterials;

// hash := length in bytes; for each byte b: hash := b + 2 * hash (32-bit wrap-around).
std::uint32_t ComputeNameHashKey(const std::string& name);

class TGLLibMaterial final : public TGLNotifiable {
public:
    explicit TGLLibMaterial(TGLLibMaterials* collection);
    TGLLibMaterial(const TGLLibMaterial&) = delete;
    TGLLibMaterial& operator=(const TGLLibMaterial&) = delete;
    // Every user loses its link.
    ~TGLLibMaterial();

    TGLLibMaterials* Collection() const { return collection_; }
    TGLMaterialLibrary* Library() const;
    int Index() const;

    const std::string& Name() const { return name_; }
    // Unchanged names do nothing; while the library loads the name is stored as given;
    // otherwise a name another item has is made unique (a number is appended).
    void SetName(const std::string& name);
    std::uint32_t NameHashKey() const { return nameHash_; }
    TGLMaterial& Material() { return material_; }
    const TGLMaterial& Material() const { return material_; }
    int Tag() const { return tag_; }
    void SetTag(int v) { tag_ = v; }
    TGLCoordinates& TextureOffset() { return textureOffset_; }
    TGLCoordinates& TextureScale() { return textureScale_; }
    const std::string& Texture2Name() const { return texture2Name_; }
    void SetTexture2Name(const std::string& name);
    // The library material named by Texture2Name, resolved on first use; none if absent.
    TGLLibMaterial* Texture2();
    bool TextureMatrixIsIdentity() const { return textureMatrixIsIdentity_; }
    TGLShader* Shader() const { return shader_; }
    // A weak link, cleared when the shader goes away. Needs the item to be in a library
    // (which watches the shader); without one the call does nothing.
    void SetShader(TGLShader* shader);

    // Materials linked to this item, in no particular order.
    const std::vector<TGLMaterial*>& Users() const { return users_.Items(); }

    // Texture matrix (when not the identity and the texture is enabled), then the material.
    void Apply(TRenderContextInfo& rci);
    // Mirrors Apply; true when the object is to be drawn once more.
    bool UnApply(TRenderContextInfo& rci);

    // Tells every user; a re-entry flag stops cycles.
    void NotifyUsers();
    void NotifyChange(TGLNotifiable* sender) override;

private:
    friend class TGLMaterial;
    friend class TGLLibMaterials;
    friend class TGLMaterialLibrary;
    void AddUser(TGLMaterial* m);
    void RemoveUser(TGLMaterial* m);
    void AddLibUser(TGLLibMaterial* m);
    void RemoveLibUser(TGLLibMaterial* m);
    void UpdateTextureMatrix();

    TGLLibMaterials* collection_;
    std::string name_;
    std::uint32_t nameHash_ = 0;
    TGLMaterial material_;
    int tag_ = 0;
    TGLCoordinates textureOffset_;
    TGLCoordinates textureScale_;
    std::string texture2Name_;
    TGLLibMaterial* texture2_ = nullptr;
    bool texture2Resolved_ = false;
    bool textureMatrixIsIdentity_ = true;
    TMatrix textureMatrix_ = IdentityHmgMatrix;
    bool textureMatrixLoaded_ = false;
    TGLShader* shader_ = nullptr;
    TSlotList<TGLMaterial, &TGLMaterial::userSlot_> users_;
    std::vector<TGLLibMaterial*> libUsers_;
    bool notifying_ = false;
};

class TGLLibMaterials {
public:
    explicit TGLLibMaterials(TGLMaterialLibrary* owner) : owner_(owner) {}
    TGLLibMaterials(const TGLLibMaterials&) = delete;
    TGLLibMaterials& operator=(const TGLLibMaterials&) = delete;
    ~TGLLibMaterials();

    TGLMaterialLibrary* Owner() const { return owner_; }
    int Count() const { return int(items_.size()); }
    // None when out of range.
    TGLLibMaterial* Items(int index) const;
    TGLLibMaterial* operator[](int index) const { return Items(index); }
    // Appends a new item named "LibMaterial" (made unique).
    TGLLibMaterial* Add();
    // The first item whose hash and exact name match, or none.
    TGLLibMaterial* FindLibMaterial(const std::string& name) const;
    int IndexOf(const TGLLibMaterial* item) const;
    // Frees the item; its users lose their links.
    void Delete(int index);
    void Clear();
    // `name`, or `name` with the smallest number appended that no item other than `except`
    // carries.
    std::string MakeUniqueName(const std::string& name, const TGLLibMaterial* except) const;

private:
    TGLMaterialLibrary* owner_;
    std::vector<std::unique_ptr<TGLLibMaterial>> items_;
};

class TGLMaterialLibrary : public TGLComponent {
public:
    TGLMaterialLibrary();
    // Frees the items (users lose their links) and clears every material's link to it.
    ~TGLMaterialLibrary() override;

    TGLLibMaterials& Materials() { return materials_; }
    const TGLLibMaterials& Materials() const { return materials_; }
    // Appends an item named `name` (made unique when taken) and returns it.
    TGLLibMaterial* AddMaterial(const std::string& name);
    TGLLibMaterial* LibMaterialByName(const std::string& name) const {
        return materials_.FindLibMaterial(name);
    }

protected:
    // A shader in use by an item went away: the items drop it.
    void Notification(TGLComponent* component, TOperation operation) override;

private:
    friend class TGLMaterial;
    friend class TGLLibMaterial;
    void AddReferrer(TGLMaterial* m);
    void RemoveReferrer(TGLMaterial* m);

    TGLLibMaterials materials_;
    // Materials whose MaterialLibrary is this library.
    TSlotList<TGLMaterial, &TGLMaterial::referrerSlot_> referrers_;
};

} // namespace hk
