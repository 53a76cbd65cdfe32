// Item class registry and the collection's streamed form.
#include "engine/xcollection.h"

#include <algorithm>
#include <map>

namespace hk {

namespace {

std::map<std::string, TXCollectionItemFactory>& Registry() {
    static std::map<std::string, TXCollectionItemFactory> registry;
    return registry;
}

// Tags before each streamed item: a new class is written by name, a known one by index.
constexpr std::int32_t cNewClassTag = -1;

} // namespace

bool RegisterXCollectionItemClass(const std::string& className, TXCollectionItemFactory factory) {
    if (className.empty() || !factory) {
        return false;
    }
    return Registry().emplace(className, std::move(factory)).second;
}

std::unique_ptr<TXCollectionItem> CreateXCollectionItem(const std::string& className) {
    auto it = Registry().find(className);
    if (it == Registry().end()) {
        return nullptr;
    }
    return it->second();
}

int TXCollectionItem::Index() const {
    return owner_ ? owner_->IndexOf(this) : -1;
}

void TXCollectionItem::WriteToStream(TBinaryWriter& w) const {
    w.WriteInt32(0);
    w.WriteString(name_);
}

void TXCollectionItem::ReadFromStream(TBinaryReader& r) {
    if (r.ReadInt32() != 0) {
        r.Fail("unsupported item version");
    }
    name_ = r.ReadString();
}

TXCollectionItem* TXCollection::Items(int index) const {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return items_[index].get();
}

TXCollectionItem* TXCollection::Add(std::unique_ptr<TXCollectionItem> item) {
    if (!item || !CanAdd(*item)) {
        return nullptr;
    }
    item->owner_ = this;
    items_.push_back(std::move(item));
    return items_.back().get();
}

int TXCollection::IndexOf(const TXCollectionItem* item) const {
    for (int i = 0; i < Count(); ++i) {
        if (items_[i].get() == item) {
            return i;
        }
    }
    return -1;
}

std::unique_ptr<TXCollectionItem> TXCollection::Remove(TXCollectionItem* item) {
    int i = IndexOf(item);
    if (i < 0) {
        return nullptr;
    }
    std::unique_ptr<TXCollectionItem> out = std::move(items_[i]);
    items_.erase(items_.begin() + i);
    out->owner_ = nullptr;
    return out;
}

void TXCollection::Delete(int index) {
    if (index >= 0 && index < Count()) {
        // Taken out of the list before it is destroyed, so its destructor sees a consistent list.
        std::unique_ptr<TXCollectionItem> doomed = Remove(items_[index].get());
    }
}

void TXCollection::Clear() {
    while (!items_.empty()) {
        Delete(Count() - 1);
    }
}

void TXCollection::WriteToStream(TBinaryWriter& w) const {
    w.WriteInt32(0);
    w.WriteInt32(Count());
    std::vector<std::string> classes;
    for (const auto& item : items_) {
        std::string cls = item->ClassName();
        auto it = std::find(classes.begin(), classes.end(), cls);
        if (it == classes.end()) {
            w.WriteInt32(cNewClassTag);
            w.WriteString(cls);
            classes.push_back(cls);
        } else {
            w.WriteInt32(std::int32_t(it - classes.begin()));
        }
        item->WriteToStream(w);
    }
}

void TXCollection::ReadFromStream(TBinaryReader& r) {
    if (r.ReadInt32() != 0) {
        r.Fail("unsupported collection version");
    }
    std::int32_t n = r.ReadInt32();
    // Every item takes at least its 4-byte class tag.
    if (n < 0 || std::size_t(n) > r.Remaining() / 4) {
        r.Fail("item count exceeds the data");
    }
    std::vector<std::string> classes;
    std::vector<std::unique_ptr<TXCollectionItem>> fresh;
    for (std::int32_t i = 0; i < n; ++i) {
        std::int32_t tag = r.ReadInt32();
        std::string cls;
        if (tag == cNewClassTag) {
            cls = r.ReadString();
            classes.push_back(cls);
        } else if (tag >= 0 && tag < std::int32_t(classes.size())) {
            cls = classes[tag];
        } else {
            r.Fail("invalid class index");
        }
        std::unique_ptr<TXCollectionItem> item = CreateXCollectionItem(cls);
        if (!item) {
            r.Fail("unknown item class \"" + cls + "\"");
        }
        if (!CanAdd(*item)) {
            r.Fail("item class \"" + cls + "\" does not belong here");
        }
        item->owner_ = this;
        item->ReadFromStream(r);
        fresh.push_back(std::move(item));
    }
    Clear();
    items_ = std::move(fresh);
    for (auto& item : items_) {
        item->Loaded();
    }
}

} // namespace hk
