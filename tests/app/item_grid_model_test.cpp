// The item grid listing, the shown flags and the clicks of both grids against a recording host.
#include "app/item_grid_model.h"

#include "app/sjis.h"

#include <gtest/gtest.h>

namespace hk {
namespace {

std::string S(std::string_view utf8) {
    return Utf8ToSjis(utf8);
}

int AddGroup(TDocument& doc, int kind, bool shown = true) {
    GroupEntry g;
    g.kind = static_cast<std::int16_t>(kind);
    g.name = "G" + std::to_string(doc.GroupTable.Count() + 1);
    g.onoff = shown ? 1 : 0;
    return doc.GroupTable.Append(g);
}

void AddVertex(TDocument& doc, int kind, int seq, double x, int group) {
    PolyVertex v;
    v.kind = static_cast<std::int16_t>(kind);
    v.seq = seq;
    v.label = "v" + std::to_string(doc.PolyTable.Count() + 1);
    v.x = x;
    v.group = group;
    doc.PolyTable.Append(v);
}

std::vector<TItemGridModel::Row> DataRows(const TItemGridModel& grid) {
    std::vector<TItemGridModel::Row> rows;
    for (int r = 1; r < grid.RowCount(); ++r)
        rows.push_back({grid.Cell(0, r), grid.Cell(1, r), grid.Cell(2, r), grid.Cell(3, r)});
    return rows;
}

// A drawing with a point group, a line group, two polyline figures and a face in one group
// each, and an arc group.
struct Drawing {
    Drawing() {
        points = AddGroup(doc, ikPoint);
        PointItem p;
        p.name = "P";
        p.rptname = "rp";
        p.x = 120.4;
        p.y = -350.6;
        p.group = points;
        doc.PointTable.Append(p);
        lines = AddGroup(doc, ikLine);
        LineItem l;
        l.startLabel = "s";
        l.endLabel = "e";
        l.x2 = 1000;
        l.z2 = -0.4;
        l.group = lines;
        doc.LineTable.Append(l);
        poly = AddGroup(doc, ikPolyline);
        AddVertex(doc, ikPolyline, 1, 1, poly);
        AddVertex(doc, ikPolyline, 2, 2, poly);
        AddVertex(doc, ikPolyline, 3, 3, poly);
        AddVertex(doc, ikPolyline, 1, 4, poly);
        AddVertex(doc, ikPolyline, 2, 5, poly);
        faces = AddGroup(doc, ikFace);
        AddVertex(doc, ikFace, 1, 6, faces);
        AddVertex(doc, ikFace, 2, 7, faces);
        arcs = AddGroup(doc, ikArc);
        ArcItem a;
        a.group = arcs;
        doc.ArcTable.Append(a);
    }
    TDocument doc;
    int points, lines, poly, faces, arcs;
};

class RecordingHost : public TGridHost {
public:
    void RebuildScene() override { ++rebuilds; }
    void SetGroupCell(int col, int row, const std::string& text) override {
        groupCells.push_back(std::to_string(col) + "," + std::to_string(row) + "=" + text);
    }
    void RefreshGroupGrid() override { ++groupRefreshes; }
    void RefreshItemGrid() override { ++itemRefreshes; }
    void ShowMarkerAt(const std::array<double, 3>& p) override { marker = p; }
    void HideMarker() override {
        marker.reset();
        ++hides;
    }
    bool ChooseColour(TGridColour& colour) override {
        ++dialogs;
        if (chosen)
            colour = *chosen;
        return chosen.has_value();
    }
    void FocusView() override { ++focuses; }

    int rebuilds = 0, groupRefreshes = 0, itemRefreshes = 0, hides = 0, dialogs = 0, focuses = 0;
    std::vector<std::string> groupCells;
    std::optional<std::array<double, 3>> marker;
    std::optional<TGridColour> chosen;
};

TEST(GridPoint, FormatsRoundedTrimmedValuesAndReadsThemBack) {
    EXPECT_EQ(FormatGridPoint(120.4, -350.6, 0), "120,-351,0");
    EXPECT_EQ(FormatGridPoint(-0.4, 2.5, 12345678901.0), "-0,2,12345678901");
    EXPECT_EQ(ParseGridPoint("120,-351,0"), (std::array<double, 3>{120, -351, 0}));
    EXPECT_EQ(ParseGridPoint(" 1 , 2 ,3 "), (std::array<double, 3>{1, 2, 3}));
    EXPECT_FALSE(ParseGridPoint(""));
    EXPECT_FALSE(ParseGridPoint("1,2"));
    EXPECT_FALSE(ParseGridPoint("1,,3"));
    EXPECT_FALSE(ParseGridPoint("1,2,x"));
    EXPECT_FALSE(ParseGridPoint("1,2,3,4"));
    EXPECT_EQ(GridItemNumber("12"), 12);
    EXPECT_EQ(GridItemNumber(""), 0);
    EXPECT_EQ(GridItemNumber("-3"), 0);
    EXPECT_EQ(GridItemNumber("No."), 0);
}

TEST(ListGroupItems, ListsEachKindWithContinuationAndFigureRows) {
    Drawing d;
    using Rows = std::vector<TItemGridModel::Row>;
    EXPECT_EQ(DataRows(ListGroupItems(d.doc, d.points)), (Rows{{"1", "on", "rp", "120,-351,0"}}));
    EXPECT_EQ(DataRows(ListGroupItems(d.doc, d.lines)),
              (Rows{{"1", "on", "s", "0,0,0"}, {"", "", "e", "1000,0,-0"}}));
    d.doc.PolyTable[4].visible = 0;
    EXPECT_EQ(DataRows(ListGroupItems(d.doc, d.poly)), (Rows{{"1", "on", "v1", "1,0,0"},
                                                             {"", "", "v2", "2,0,0"},
                                                             {"", "", "v3", "3,0,0"},
                                                             {"4", "off", "v4", "4,0,0"},
                                                             {"", "", "v5", "5,0,0"}}));
    EXPECT_EQ(DataRows(ListGroupItems(d.doc, d.faces)),
              (Rows{{"6", "on", "v6", "6,0,0"}, {"", "", "v7", "7,0,0"}}));
    const TItemGridModel arcs = ListGroupItems(d.doc, d.arcs);
    EXPECT_EQ(arcs.RowCount(), 2);
    EXPECT_EQ(DataRows(arcs), (Rows{{"", "", "", ""}}));
    EXPECT_EQ(arcs.Cell(3, 0), S("座　標"));
    EXPECT_EQ(ListGroupItems(d.doc, 0).RowCount(), 2);
    EXPECT_EQ(ListGroupItems(d.doc, 99).RowCount(), 2);
}

TEST(ToggleItem, SwitchesOneItemOrOneWholeFigure) {
    Drawing d;
    EXPECT_TRUE(ToggleItem(d.doc, ikPolyline, 1));
    for (int v = 1; v <= 3; ++v)
        EXPECT_EQ(d.doc.PolyTable[v].visible, 0) << v;
    EXPECT_EQ(d.doc.PolyTable[4].visible, 1);
    EXPECT_EQ(d.doc.PolyTable[5].visible, 1);
    EXPECT_TRUE(ToggleItem(d.doc, ikPoint, 1));
    EXPECT_FALSE(ItemShown(d.doc, ikPoint, 1));
    EXPECT_FALSE(ToggleItem(d.doc, ikPoint, 2));
    EXPECT_FALSE(ToggleItem(d.doc, ikText, 1));
    EXPECT_FALSE(ToggleItem(d.doc, ikLine, 0));
    EXPECT_FALSE(ItemShown(d.doc, ikPipe, 1));
}

TEST(GridColours, GroupCellsByKindFlagAndColourItemCellsByFlag) {
    Drawing d;
    d.doc.GroupTable[d.points].Red = 10;
    EXPECT_EQ(GroupCellColour(d.doc, 0, d.points), (TGridColour{255, 255, 0}));
    EXPECT_EQ(GroupCellColour(d.doc, 0, d.faces), (TGridColour{255, 251, 240}));
    EXPECT_FALSE(GroupCellColour(d.doc, 0, d.poly));
    EXPECT_EQ(GroupCellColour(d.doc, 1, d.points), (TGridColour{0, 255, 255}));
    EXPECT_EQ(GroupCellColour(d.doc, 3, d.points), (TGridColour{10, 204, 204}));
    EXPECT_FALSE(GroupCellColour(d.doc, 2, d.points));
    EXPECT_FALSE(GroupCellColour(d.doc, 0, 0));
    EXPECT_FALSE(GroupCellColour(d.doc, 0, 99));
    d.doc.GroupTable[d.points].onoff = 0;
    EXPECT_FALSE(GroupCellColour(d.doc, 1, d.points));
    EXPECT_EQ(ItemCellColour(d.doc, ikPoint, "1"), (TGridColour{0, 255, 255}));
    EXPECT_FALSE(ItemCellColour(d.doc, ikPoint, ""));
    EXPECT_FALSE(ItemCellColour(d.doc, ikPoint, "2"));
}

class VisibilityGridsTest : public ::testing::Test {
protected:
    Drawing d;
    TMemoryLog log;
    RecordingHost host;
    TVisibilityGrids grids{d.doc, log, host};
};

TEST_F(VisibilityGridsTest, ShownColumnTwiceRestoresTheGroupAndRebuildsTwice) {
    grids.GroupGridClick(1, d.lines);
    EXPECT_EQ(d.doc.GroupTable[d.lines].onoff, 0);
    grids.GroupGridClick(1, d.lines);
    EXPECT_EQ(d.doc.GroupTable[d.lines].onoff, 1);
    EXPECT_EQ(host.rebuilds, 2);
    EXPECT_EQ(host.groupCells, (std::vector<std::string>{"1,2=off", "1,2=on"}));
    EXPECT_EQ(log.Lines().size(), 2u);
    EXPECT_EQ(log.Lines()[0], S("種別=:2:線 名称=G2 名称= 直径= 数=0/1"));
    EXPECT_EQ(grids.SelectedKind(), ikLine);
    EXPECT_EQ(grids.ItemGrid().RowCount(), 3);
    EXPECT_EQ(host.focuses, 2);
}

TEST_F(VisibilityGridsTest, OtherColumnsListWithoutRebuildingAndHideTheMarker) {
    host.marker = std::array<double, 3>{};
    grids.GroupGridClick(0, d.points);
    EXPECT_EQ(host.rebuilds, 0);
    EXPECT_FALSE(host.marker);
    EXPECT_EQ(grids.ItemGrid().Cell(3, 1), "120,-351,0");
    // The header row and a row past the groups only focus the view.
    grids.GroupGridClick(1, 0);
    grids.GroupGridClick(1, 99);
    EXPECT_EQ(grids.SelectedGroup(), d.points);
    EXPECT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(host.focuses, 3);
}

TEST_F(VisibilityGridsTest, ColourColumnStoresAConfirmedColourOnly) {
    grids.GroupGridClick(3, d.poly);
    EXPECT_EQ(host.dialogs, 1);
    EXPECT_EQ(host.rebuilds, 0);
    EXPECT_EQ(d.doc.GroupTable[d.poly].Red, 204);
    host.chosen = TGridColour{1, 2, 3};
    grids.GroupGridClick(3, d.poly);
    const GroupEntry& g = d.doc.GroupTable[d.poly];
    EXPECT_EQ((TGridColour{g.Red, g.Green, g.Blue}), (TGridColour{1, 2, 3}));
    EXPECT_EQ(host.rebuilds, 1);
}

TEST_F(VisibilityGridsTest, ItemClickBeforeAnyGroupOnlyFocuses) {
    grids.ItemGridClick(1, 1);
    EXPECT_EQ(host.focuses, 1);
    EXPECT_EQ(host.rebuilds, 0);
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_FALSE(host.marker);
}

TEST_F(VisibilityGridsTest, FigureRowTogglesTheFigurePrintsItAndMarksItsPoint) {
    grids.GroupGridClick(0, d.poly);
    grids.ItemGridClick(1, 4);
    EXPECT_EQ(host.rebuilds, 1);
    EXPECT_EQ(grids.ItemGrid().Cell(1, 4), "off");
    EXPECT_EQ(grids.ItemGrid().Cell(1, 1), "on");
    EXPECT_EQ(d.doc.PolyTable[5].visible, 0);
    EXPECT_EQ(d.doc.PolyTable[3].visible, 1);
    const auto lines = log.Lines();
    ASSERT_EQ(lines.size(), 3u); // the group line and the figure's two vertices
    EXPECT_EQ(lines[1], "v4        4        0        0");
    EXPECT_EQ(host.marker, (std::array<double, 3>{4, 0, 0}));
    EXPECT_EQ(grids.SelectedItemRow(), 4);
}

TEST_F(VisibilityGridsTest, ContinuationRowMovesTheMarkerWithoutPrinting) {
    grids.GroupGridClick(0, d.lines);
    const std::size_t before = log.Lines().size();
    grids.ItemGridClick(1, 2);
    EXPECT_EQ(log.Lines().size(), before);
    EXPECT_EQ(host.rebuilds, 0);
    EXPECT_EQ(d.doc.LineTable[1].visible, 1);
    EXPECT_EQ(host.marker, (std::array<double, 3>{1000, 0, -0.0}));
    // Other columns of a first row print the summary but toggle nothing.
    grids.ItemGridClick(2, 1);
    EXPECT_EQ(log.Lines().size(), before + 1);
    EXPECT_EQ(host.rebuilds, 0);
    // Rows outside the grid only focus.
    grids.ItemGridClick(1, 0);
    grids.ItemGridClick(1, 50);
    EXPECT_EQ(log.Lines().size(), before + 1);
}

TEST_F(VisibilityGridsTest, RowsKeptOverAReloadThatDroppedTheirItemsDoNothing) {
    grids.GroupGridClick(0, d.poly);
    d.doc.PolyTable.Clear();
    const std::size_t before = log.Lines().size();
    grids.ItemGridClick(1, 4);
    EXPECT_EQ(host.rebuilds, 0);
    EXPECT_EQ(log.Lines().size(), before);
    EXPECT_EQ(grids.ItemGrid().Cell(1, 4), "on");
    EXPECT_TRUE(host.marker); // the row's point is still on the grid
}

TEST_F(VisibilityGridsTest, HideAllThenShowAllLeavesEveryGroupShown) {
    grids.GroupGridClick(0, d.points);
    const int itemRefreshes = host.itemRefreshes;
    grids.HideAll();
    for (const GroupEntry& g : d.doc.GroupTable)
        EXPECT_EQ(g.onoff, 0);
    grids.ShowAll();
    for (const GroupEntry& g : d.doc.GroupTable)
        EXPECT_EQ(g.onoff, 1);
    EXPECT_EQ(host.rebuilds, 2);
    EXPECT_EQ(host.groupRefreshes, 2);
    EXPECT_EQ(host.itemRefreshes, itemRefreshes);
    EXPECT_EQ(grids.ItemGrid().Cell(3, 1), "120,-351,0");
}

} // namespace
} // namespace hk
