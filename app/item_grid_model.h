// The window-free side of the two visibility grids: the item grid's rows for one group (per
// kind, with continuation rows for the end point of two-point items and one row per figure
// vertex), the cell colours of both grids, the shown flags the clicks switch, and
// TVisibilityGrids, which runs the clicks of the group grid, the item grid and the two
// show-all / hide-all buttons against a TGridHost that does the window's part.
#pragma once

#include "app/document.h"
#include "app/message_log.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hk {

inline constexpr int cGridRowHeight = 18;
inline constexpr int cItemGridColumns = 4;
inline constexpr std::array<int, cItemGridColumns> cItemGridColWidths = {28, 20, 36, 80};

// The texts of the item grid: row 0 the headers "No.", "表", "名", "座　標"; rows 1.. the items.
// Always at least two rows. Texts are Shift-JIS.
class TItemGridModel {
public:
    using Row = std::array<std::string, cItemGridColumns>;

    // The headers and one empty data row.
    TItemGridModel();

    int RowCount() const { return static_cast<int>(rows_.size()); }
    // The text of a cell; a cell outside the grid reads empty.
    const std::string& Cell(int col, int row) const;
    // Writes a cell; a cell outside the grid is ignored.
    void SetCell(int col, int row, std::string text);
    // Writes the next free data row, growing the grid when needed.
    void AddRow(Row row);

private:
    std::vector<Row> rows_;
    int nextRow_ = 1;
};

struct TGridColour {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const TGridColour&, const TGridColour&) = default;
};

// The point text of the coordinate column: each value "%10.0f", trimmed, joined by ",".
std::string FormatGridPoint(double x, double y, double z);
// Reads a coordinate cell back: three comma-separated numbers, each non-empty after trimming.
// Returns nullopt for anything else (an empty cell, missing or extra parts, non-numbers).
std::optional<std::array<double, 3>> ParseGridPoint(std::string_view text);
// The item number in column 0 of an item-grid row: a positive decimal integer, 0 when the cell
// is empty or holds anything else.
int GridItemNumber(std::string_view cell);

// The item grid's rows for group `group` of doc, by the group's kind. Arcs, circles, texts and
// unknown kinds list nothing; an index outside the group table gives the empty grid.
TItemGridModel ListGroupItems(const TDocument& doc, int group);

// The shown flag of item n of the table that holds kind; false when n is outside that table or
// the kind has none.
bool ItemShown(const TDocument& doc, int kind, int n);
// Inverts the shown flag of item n of the table that holds kind; for polylines and faces the
// new value goes to vertex n and every following vertex of its figure (up to the next vertex
// with seq 1). Returns false, changing nothing, when there is no such item.
bool ToggleItem(TDocument& doc, int kind, int n);
// Sets onoff of every group.
void SetAllGroupsShown(TDocument& doc, bool shown);

// The message line of a click on group `group` (Shift-JIS): kind code and name, names,
// diameter name and the item and duplicate counts.
std::string GroupClickLine(const TDocument& doc, int group);

// The fill colour of a group-grid cell, nullopt for the grid's background: column 0 by the
// group's kind, column 1 aqua for a shown group, column 3 the group's own colour.
std::optional<TGridColour> GroupCellColour(const TDocument& doc, int col, int row);
// The fill colour of column 1 of an item-grid row: aqua when the row's item (its number in
// column 0) is shown in the table of kind, nullopt for the background.
std::optional<TGridColour> ItemCellColour(const TDocument& doc, int kind,
                                          std::string_view numberCell);

// What a grid click asks of the window.
class TGridHost {
public:
    virtual ~TGridHost() = default;
    // Rebuilds the scene from the item tables and redraws the view.
    virtual void RebuildScene() = 0;
    // Writes a group-grid cell (Shift-JIS).
    virtual void SetGroupCell(int col, int row, const std::string& text) = 0;
    // Refills the group grid from the group table.
    virtual void RefreshGroupGrid() = 0;
    // Shows the item grid model (after a new listing or a changed cell).
    virtual void RefreshItemGrid() = 0;
    // Places the marker sphere on a point given in data-file coordinates (the window maps it to
    // the scene), shows it and redraws the view.
    virtual void ShowMarkerAt(const std::array<double, 3>& dataPoint) = 0;
    virtual void HideMarker() = 0;
    // Opens the colour dialog on colour; true with the chosen colour when the user confirms.
    virtual bool ChooseColour(TGridColour& colour) = 0;
    // Gives the keyboard focus to the 3D view.
    virtual void FocusView() = 0;
};

// The selection state of the grids and their click handling. The selected group and kind are
// kept until the next click in the group grid, so after a reload the item grid keeps its rows
// and a click on it reads the new tables (rows that name an item no longer there do nothing).
class TVisibilityGrids {
public:
    TVisibilityGrids(TDocument& doc, TMessageLog& log, TGridHost& host)
        : doc_(doc), log_(log), host_(host) {}

    // A click on cell (col, row) of the group grid; row 0 is the header, and a row that names
    // no group only focuses the view.
    void GroupGridClick(int col, int row);
    // A click on cell (col, row) of the item grid; before any group was chosen it only focuses
    // the view.
    void ItemGridClick(int col, int row);
    // The "全件表示" and "全件非表示" buttons; the item grid is not changed.
    void ShowAll() { SetAll(true); }
    void HideAll() { SetAll(false); }

    const TItemGridModel& ItemGrid() const { return items_; }
    int SelectedGroup() const { return selectedGroup_; }
    int SelectedKind() const { return selectedKind_; }
    int SelectedItemRow() const { return selectedItemRow_; }

private:
    void SetAll(bool shown);

    TDocument& doc_;
    TMessageLog& log_;
    TGridHost& host_;
    TItemGridModel items_;
    int selectedGroup_ = 0;
    int selectedKind_ = ikNone;
    int selectedItemRow_ = 0;
};

} // namespace hk
