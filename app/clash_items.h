// The items a clash can name: every table record that builds a collidable solid (two-point
// lines and polyline tubes with a diameter name, tori, pipes, 3DS models, points), found again
// from a scene object's Tag. Each item carries an identity that survives edits elsewhere in
// the data file: kind, the three names and the defining coordinates, not the line number.
#pragma once

#include "app/document.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hk {

// One side of a clash: what the item tables say about the item behind a scene object.
// Names are Shift-JIS as stored; NameUtf8() and friends convert for outputs.
struct TClashItem {
    int kind = ikNone;     // kind code (ikLine, ikPolyline, ikPipe, ...); 0 for an unknown Tag
    std::string name;      // name column
    std::string rptname;   // report name column
    std::string dddname;   // diameter name column; empty for kinds without one
    int lineNo = 0;        // data-file line (the object's Tag)
    int tableIndex = 0;    // index in the table of its kind (PolyTable: the figure's first vertex)
    std::string_view mode; // bounding-mode name: "Point" .. "Faces"; empty without one
    std::uint64_t identity = 0;

    std::string NameUtf8() const;
    std::string RptnameUtf8() const;
    std::string KindNameUtf8() const;

    bool operator==(const TClashItem&) const = default;
};

// Hash-combines two 64-bit values; order matters.
std::uint64_t MixIdentity(std::uint64_t a, std::uint64_t b);

// The collidable items of one load, by data-file line. Build once per scene build; lookups
// are a hash probe.
class TClashItemIndex {
public:
    // Indexes the items of doc that can carry a collision behaviour, whatever their group's
    // state. Identities: kind, names and defining coordinates (end points, every vertex of a
    // polyline figure, centre or position) rounded to 0.01 data units; identical twins are
    // told apart by their order in the tables.
    void Build(const TDocument& doc);

    // The item built with this Tag, or none.
    const TClashItem* Find(int lineNo) const;
    int Count() const { return int(items_.size()); }

private:
    std::vector<TClashItem> items_;
    std::vector<int> byLine_; // per data-file line: index in items_ + 1, or 0
};

} // namespace hk
