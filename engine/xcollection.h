// TXCollection: an owned, ordered list of items of registered classes, streamed with the class
// name the first time a class occurs and its index after that. Items are created back from the
// exact (case-sensitive) registered class name.
#pragma once

#include "engine/binary_stream.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hk {

class TXCollection;

class TXCollectionItem {
public:
    TXCollectionItem() = default;
    TXCollectionItem(const TXCollectionItem&) = delete;
    TXCollectionItem& operator=(const TXCollectionItem&) = delete;
    virtual ~TXCollectionItem() = default;

    // The name the class is registered under.
    virtual std::string ClassName() const = 0;
    // The class-level name and description shown to users.
    virtual std::string FriendlyName() const { return ClassName(); }
    virtual std::string FriendlyDescription() const { return std::string(); }

    TXCollection* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    int Index() const;

    // The item's own data: a version 0 and the name; derived classes append their fields
    // after calling the base. Reading throws EReadError on malformed data.
    virtual void WriteToStream(TBinaryWriter& w) const;
    virtual void ReadFromStream(TBinaryReader& r);
    // Called once every item of a collection has been read.
    virtual void Loaded() {}

private:
    friend class TXCollection;
    TXCollection* owner_ = nullptr;
    std::string name_;
};

using TXCollectionItemFactory = std::function<std::unique_ptr<TXCollectionItem>()>;

// Registers a class under its name; a name already registered keeps its first factory and the
// call returns false.
bool RegisterXCollectionItemClass(const std::string& className, TXCollectionItemFactory factory);
template <class T> bool RegisterXCollectionItemClass(const std::string& className) {
    return RegisterXCollectionItemClass(className, [] { return std::make_unique<T>(); });
}
// None when the name is not registered (exact match).
std::unique_ptr<TXCollectionItem> CreateXCollectionItem(const std::string& className);

class TXCollection {
public:
    TXCollection() = default;
    TXCollection(const TXCollection&) = delete;
    TXCollection& operator=(const TXCollection&) = delete;
    virtual ~TXCollection() = default;

    int Count() const { return int(items_.size()); }
    // None when out of range.
    TXCollectionItem* Items(int index) const;
    // Appends and owns the item; returns it, or none when this collection does not take
    // items of its kind (the item is then destroyed).
    TXCollectionItem* Add(std::unique_ptr<TXCollectionItem> item);
    template <class T, class... Args> T* Create(Args&&... args) {
        return static_cast<T*>(Add(std::make_unique<T>(std::forward<Args>(args)...)));
    }
    // The first item that is an instance of T, or none.
    template <class T> T* GetByClass() const {
        for (const auto& item : items_) {
            if (auto* t = dynamic_cast<T*>(item.get())) {
                return t;
            }
        }
        return nullptr;
    }
    int IndexOf(const TXCollectionItem* item) const;
    // Hands the item back to the caller; none when it is not here.
    std::unique_ptr<TXCollectionItem> Remove(TXCollectionItem* item);
    void Delete(int index);
    void Clear();

    // Count, then per item the class (name on first use, index afterwards) and its data.
    void WriteToStream(TBinaryWriter& w) const;
    // Replaces the items. Throws EReadError on truncated data, an unknown class or a class
    // this collection does not take; the collection is unchanged then.
    void ReadFromStream(TBinaryReader& r);

protected:
    // Whether this collection takes the item (e.g. behaviours only take behaviours).
    virtual bool CanAdd(const TXCollectionItem&) const { return true; }

private:
    std::vector<std::unique_ptr<TXCollectionItem>> items_;
};

} // namespace hk
