// The window-free state of one viewer: the item tables of the last load, the groups, the colour
// rules and the load state. The main window owns one TDocument; the loader fills it, the scene
// builder, grids, details and collision report read it.
#pragma once

#include "app/item_table.h"
#include "app/items.h"

#include <array>
#include <string>

namespace hk {

// The load scale used when the load-scale box holds no usable integer.
inline constexpr int cDefaultLoadScale = 500;

// A table that only counts (text records are counted by no one and always report 0).
struct CountTable {
    int count = 0;
    int Count() const { return count; }
};

struct TDocument {
    ItemTable<PointItem> PointTable;
    ItemTable<LineItem> LineTable;
    ItemTable<PolyVertex> PolyTable;
    ItemTable<ArcItem> ArcTable;
    CountTable TextTable;
    ItemTable<DimensionItem> DimensionTable;
    ItemTable<RangeItem> RangeTable;
    ItemTable<TorusItem> TorusTable;
    ItemTable<PipeItem> PipeTable;
    ItemTable<ModelItem> ModelTable;
    // Outlives loads: a reload finds its groups again, so on/off and colours survive.
    ItemTable<GroupEntry> GroupTable;
    // Filled once at start-up.
    ItemTable<ColourRule> ColourRuleTable;
    TSceneBounds SceneBounds;

    // The data file in use: a file-system path (native bytes, UTF-8 here), relative names taken
    // from the current directory; stored in the settings file as it is.
    std::string dataFileName;
    int loadScale = cDefaultLoadScale;   // data-file units per scene unit
    std::array<double, 3> sceneOffset{}; // subtracted from data-file coordinates
    double fileTime = 0;                 // last-write time seen by the last reload, or 0
};

} // namespace hk
