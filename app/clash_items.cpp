// The collidable items of a load and their identities.
#include "app/clash_items.h"

#include "app/collision_report.h"
#include "app/data_file.h"
#include "app/details.h"
#include "app/sjis.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <unordered_map>

namespace hk {
namespace {

constexpr std::uint64_t cFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t cFnvPrime = 1099511628211ull;

// FNV-1a over the bytes an identity is made of.
class TIdentityHash {
public:
    void Bytes(std::string_view text) {
        for (unsigned char c : text)
            hash_ = (hash_ ^ c) * cFnvPrime;
        hash_ = (hash_ ^ 0xffu) * cFnvPrime; // ends the field, so "ab"+"c" differs from "a"+"bc"
    }
    void Number(std::int64_t v) {
        for (int i = 0; i < 8; ++i)
            hash_ = (hash_ ^ std::uint64_t((v >> (8 * i)) & 0xff)) * cFnvPrime;
    }
    // A coordinate rounded to 0.01 data units; values no integer holds hash as one bucket.
    void Coordinate(double v) {
        const double hundredths = v * 100;
        Number(std::isfinite(hundredths) && std::fabs(hundredths) < 9.0e18
                   ? std::llround(hundredths)
                   : INT64_MIN);
    }
    void Coordinates(std::initializer_list<double> values) {
        for (double v : values)
            Coordinate(v);
    }
    std::uint64_t Value() const { return hash_; }

private:
    std::uint64_t hash_ = cFnvOffset;
};

std::string_view ModeOfCode(int code) {
    return BoundingModeName(TCollisionBoundingMode(code >= 1 && code <= 5 ? code - 1 : 255));
}

class TIndexBuilder {
public:
    explicit TIndexBuilder(std::vector<TClashItem>& items) : items_(items) {}

    // Starts an item; the caller hashes its coordinates into the returned hash.
    TIdentityHash& Begin(int kind, std::string_view name, std::string_view rptname,
                         std::string_view dddname, int lineNo, int tableIndex, int code) {
        TClashItem item;
        item.kind = kind;
        item.name = name;
        item.rptname = rptname;
        item.dddname = dddname;
        item.lineNo = lineNo;
        item.tableIndex = tableIndex;
        item.mode = ModeOfCode(code);
        items_.push_back(std::move(item));
        hash_ = TIdentityHash();
        hash_.Number(kind);
        hash_.Bytes(name);
        hash_.Bytes(rptname);
        hash_.Bytes(dddname);
        return hash_;
    }
    // Finishes the item begun last: its identity is the hash and its rank among equals.
    void End() {
        const std::uint64_t h = hash_.Value();
        items_.back().identity = MixIdentity(h, std::uint64_t(seen_[h]++));
    }

private:
    std::vector<TClashItem>& items_;
    TIdentityHash hash_;
    std::unordered_map<std::uint64_t, int> seen_;
};

// Lines and polyline vertices build solids only with a diameter name, as the scene builder does.
bool HasDiameterName(std::string_view dddname) {
    return !TrimName(dddname).empty();
}

} // namespace

std::uint64_t MixIdentity(std::uint64_t a, std::uint64_t b) {
    // splitmix64 finaliser over a combined with b.
    std::uint64_t x = a ^ (b + 0x9e3779b97f4a7c15ull + (a << 6) + (a >> 2));
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

std::string TClashItem::NameUtf8() const {
    return SjisToUtf8(name);
}

std::string TClashItem::RptnameUtf8() const {
    return SjisToUtf8(rptname);
}

std::string TClashItem::KindNameUtf8() const {
    return SjisToUtf8(KindName(kind));
}

void TClashItemIndex::Build(const TDocument& doc) {
    items_.clear();
    byLine_.clear();
    TIndexBuilder b(items_);
    for (int i = 1; i <= doc.LineTable.Count(); ++i) {
        const LineItem& l = doc.LineTable[i];
        if (!HasDiameterName(l.dddname))
            continue;
        b.Begin(ikLine, l.name, l.rptname, l.dddname, l.lineNo, i, l.code)
            .Coordinates({l.x1, l.y1, l.z1, l.x2, l.y2, l.z2});
        b.End();
    }
    for (int i = 1; i <= doc.PolyTable.Count(); ++i) {
        const PolyVertex& v = doc.PolyTable[i];
        if (v.kind != ikPolyline || v.seq != 1 || !HasDiameterName(v.dddname))
            continue;
        TIdentityHash& h = b.Begin(ikPolyline, v.name, v.rptname, v.dddname, v.lineNo, i, v.code);
        const int end = FigureEnd(doc, i);
        for (int k = i; k < end; ++k) {
            const PolyVertex& p = doc.PolyTable[k];
            h.Coordinates({p.x, p.y, p.z});
        }
        b.End();
    }
    for (int i = 1; i <= doc.TorusTable.Count(); ++i) {
        const TorusItem& t = doc.TorusTable[i];
        b.Begin(ikTorus, t.name, t.rptname, t.dddname, t.lineNo, i, t.code)
            .Coordinates({t.x, t.y, t.z});
        b.End();
    }
    for (int i = 1; i <= doc.PipeTable.Count(); ++i) {
        const PipeItem& p = doc.PipeTable[i];
        b.Begin(ikPipe, p.name, p.rptname, p.dddname, p.lineNo, i, p.code)
            .Coordinates({p.x1, p.y1, p.z1, p.x2, p.y2, p.z2});
        b.End();
    }
    for (int i = 1; i <= doc.ModelTable.Count(); ++i) {
        const ModelItem& m = doc.ModelTable[i];
        b.Begin(ikModel, m.name, m.rptname, {}, m.lineNo, i, m.code).Coordinates({m.x, m.y, m.z});
        b.End();
    }
    for (int i = 1; i <= doc.PointTable.Count(); ++i) {
        const PointItem& p = doc.PointTable[i];
        b.Begin(ikPoint, p.name, p.rptname, {}, p.lineNo, i, p.code).Coordinates({p.x, p.y, p.z});
        b.End();
    }
    int lastLine = 0;
    for (const TClashItem& item : items_)
        lastLine = std::max(lastLine, item.lineNo);
    byLine_.assign(std::size_t(lastLine) + 1, 0);
    for (int i = 0; i < int(items_.size()); ++i)
        if (const int line = items_[std::size_t(i)].lineNo;
            line >= 0 && byLine_[std::size_t(line)] == 0)
            byLine_[std::size_t(line)] = i + 1;
}

const TClashItem* TClashItemIndex::Find(int lineNo) const {
    if (lineNo < 0 || std::size_t(lineNo) >= byLine_.size() || byLine_[std::size_t(lineNo)] == 0)
        return nullptr;
    return &items_[std::size_t(byLine_[std::size_t(lineNo)] - 1)];
}

} // namespace hk
