// The item grid listing, the shown flags of items and groups, the grid colours and the clicks.
#include "app/item_grid_model.h"

#include "app/data_file.h"
#include "app/details.h"
#include "app/sjis.h"

#include <cstdio>

namespace hk {
namespace {

constexpr TGridColour cAqua{0, 255, 255};

std::string OnOff(bool shown) {
    return shown ? "on" : "off";
}

// The shown flag of item n of the table holding kind, nullptr when there is none. Doc is
// TDocument or const TDocument.
template <class Doc>
auto VisibleFlag(Doc& doc, int kind, int n) -> decltype(&doc.PointTable[1].visible) {
    const auto flag = [n](auto& table) -> decltype(&doc.PointTable[1].visible) {
        return n >= 1 && n <= table.Count() ? &table[n].visible : nullptr;
    };
    switch (kind) {
    case ikPoint:
        return flag(doc.PointTable);
    case ikLine:
        return flag(doc.LineTable);
    case ikPolyline:
    case ikFace:
        return flag(doc.PolyTable);
    case ikArc:
    case ikCircle:
        return flag(doc.ArcTable);
    case ikRange:
        return flag(doc.RangeTable);
    case ikTorus:
        return flag(doc.TorusTable);
    case ikPipe:
        return flag(doc.PipeTable);
    case ikModel:
        return flag(doc.ModelTable);
    default:
        return IsDimensionKind(kind) ? flag(doc.DimensionTable) : nullptr;
    }
}

// Calls rows(grid, index, item) for every item of table filed under group, in table order.
template <class Table, class Rows>
void ListTable(TItemGridModel& grid, const Table& table, int group, Rows rows) {
    for (int n = 1; n <= table.Count(); ++n) {
        const auto& item = table[n];
        if (item.group == group)
            rows(grid, n, item);
    }
}

TItemGridModel::Row FirstRow(int n, bool shown, std::string label, std::string point) {
    return {std::to_string(n), OnOff(shown), std::move(label), std::move(point)};
}

TItemGridModel::Row ContinuationRow(std::string label, std::string point) {
    return {std::string(), std::string(), std::move(label), std::move(point)};
}

} // namespace

TItemGridModel::TItemGridModel() {
    rows_.resize(2);
    rows_[0] = {"No.", Utf8ToSjis("表"), Utf8ToSjis("名"), Utf8ToSjis("座　標")};
}

const std::string& TItemGridModel::Cell(int col, int row) const {
    static const std::string empty;
    if (col < 0 || col >= cItemGridColumns || row < 0 || row >= RowCount())
        return empty;
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void TItemGridModel::SetCell(int col, int row, std::string text) {
    if (col < 0 || col >= cItemGridColumns || row < 0 || row >= RowCount())
        return;
    rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = std::move(text);
}

void TItemGridModel::AddRow(Row row) {
    if (nextRow_ >= RowCount())
        rows_.resize(static_cast<std::size_t>(nextRow_) + 1);
    rows_[static_cast<std::size_t>(nextRow_++)] = std::move(row);
}

std::string FormatGridPoint(double x, double y, double z) {
    std::string text;
    for (double v : {x, y, z}) {
        const int n = std::snprintf(nullptr, 0, "%10.0f", v);
        std::string field(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
        std::snprintf(field.data(), field.size(), "%10.0f", v);
        field.pop_back();
        if (!text.empty())
            text += ',';
        text += TrimName(field);
    }
    return text;
}

std::optional<std::array<double, 3>> ParseGridPoint(std::string_view text) {
    std::array<double, 3> point{};
    std::string_view rest = text;
    for (int i = 0; i < 3; ++i) {
        const std::string_view part = TrimName(SplitField(rest));
        if (part.empty() || !TryParseFloat(part, point[static_cast<std::size_t>(i)]))
            return std::nullopt;
    }
    if (!rest.empty())
        return std::nullopt;
    return point;
}

int GridItemNumber(std::string_view cell) {
    int n = 0;
    return TryParseInt(cell, n) && n > 0 ? n : 0;
}

TItemGridModel ListGroupItems(const TDocument& doc, int group) {
    TItemGridModel grid;
    if (group < 1 || group > doc.GroupTable.Count())
        return grid;
    const int kind = doc.GroupTable[group].kind;
    switch (kind) {
    case ikPoint:
        ListTable(grid, doc.PointTable, group, [](TItemGridModel& g, int n, const PointItem& p) {
            g.AddRow(FirstRow(n, p.visible, p.rptname.str(), FormatGridPoint(p.x, p.y, p.z)));
        });
        break;
    case ikLine:
        ListTable(grid, doc.LineTable, group, [](TItemGridModel& g, int n, const LineItem& p) {
            g.AddRow(FirstRow(n, p.visible, p.startLabel.str(), FormatGridPoint(p.x1, p.y1, p.z1)));
            g.AddRow(ContinuationRow(p.endLabel.str(), FormatGridPoint(p.x2, p.y2, p.z2)));
        });
        break;
    case ikPolyline:
    case ikFace:
        ListTable(grid, doc.PolyTable, group,
                  [kind](TItemGridModel& g, int n, const PolyVertex& p) {
                      if (p.kind != kind)
                          return;
                      std::string point = FormatGridPoint(p.x, p.y, p.z);
                      g.AddRow(p.seq == 1 ? FirstRow(n, p.visible, p.label.str(), std::move(point))
                                          : ContinuationRow(p.label.str(), std::move(point)));
                  });
        break;
    case ikRange:
        ListTable(grid, doc.RangeTable, group, [](TItemGridModel& g, int n, const RangeItem& p) {
            g.AddRow(FirstRow(n, p.visible, p.name.str(), FormatGridPoint(p.r[1], p.r[2], p.r[3])));
        });
        break;
    case ikTorus:
        ListTable(grid, doc.TorusTable, group, [](TItemGridModel& g, int n, const TorusItem& p) {
            g.AddRow(FirstRow(n, p.visible, {}, FormatGridPoint(p.x, p.y, p.z)));
        });
        break;
    case ikPipe:
        ListTable(grid, doc.PipeTable, group, [](TItemGridModel& g, int n, const PipeItem& p) {
            g.AddRow(FirstRow(n, p.visible, p.startLabel.str(), FormatGridPoint(p.x1, p.y1, p.z1)));
            g.AddRow(ContinuationRow(p.endLabel.str(), FormatGridPoint(p.x2, p.y2, p.z2)));
        });
        break;
    case ikModel:
        ListTable(grid, doc.ModelTable, group, [](TItemGridModel& g, int n, const ModelItem& p) {
            g.AddRow(FirstRow(n, p.visible, {}, FormatGridPoint(p.x, p.y, p.z)));
        });
        break;
    default:
        if (IsDimensionKind(kind))
            ListTable(grid, doc.DimensionTable, group,
                      [](TItemGridModel& g, int n, const DimensionItem& p) {
                          g.AddRow(FirstRow(n, p.visible, p.name.str(),
                                            FormatGridPoint(p.d[1], p.d[2], p.d[3])));
                      });
        break;
    }
    return grid;
}

bool ItemShown(const TDocument& doc, int kind, int n) {
    const std::uint8_t* flag = VisibleFlag(doc, kind, n);
    return flag && *flag != 0;
}

bool ToggleItem(TDocument& doc, int kind, int n) {
    std::uint8_t* flag = VisibleFlag(doc, kind, n);
    if (!flag)
        return false;
    const std::uint8_t shown = *flag != 0 ? 0 : 1;
    *flag = shown;
    if (kind == ikPolyline || kind == ikFace) {
        const int end = FigureEnd(doc, n);
        for (int v = n + 1; v < end; ++v)
            doc.PolyTable[v].visible = shown;
    }
    return true;
}

void SetAllGroupsShown(TDocument& doc, bool shown) {
    for (GroupEntry& g : doc.GroupTable)
        g.onoff = shown ? 1 : 0;
}

std::string GroupClickLine(const TDocument& doc, int group) {
    if (group < 1 || group > doc.GroupTable.Count())
        return {};
    const GroupEntry& g = doc.GroupTable[group];
    std::string line = Utf8ToSjis("種別=:");
    line.append(std::to_string(g.kind)).append(":").append(KindName(g.kind));
    line.append(Utf8ToSjis(" 名称=")).append(g.name.str());
    line.append(Utf8ToSjis(" 名称=")).append(g.rptname.str());
    line.append(Utf8ToSjis(" 直径=")).append(g.dddname.str());
    line.append(Utf8ToSjis(" 数=")).append(std::to_string(g.itemCount));
    line.append("/").append(std::to_string(g.dupCount));
    return line;
}

std::optional<TGridColour> GroupCellColour(const TDocument& doc, int col, int row) {
    if (row < 1 || row > doc.GroupTable.Count())
        return std::nullopt;
    const GroupEntry& g = doc.GroupTable[row];
    switch (col) {
    case 0:
        switch (g.kind) {
        case ikPoint:
            return TGridColour{255, 255, 0};
        case ikLine:
            return TGridColour{192, 192, 192};
        case ikFace:
            return TGridColour{255, 251, 240};
        case ikRange:
            return TGridColour{192, 220, 192};
        default:
            if (IsDimensionKind(g.kind))
                return TGridColour{166, 202, 240};
            return std::nullopt;
        }
    case 1:
        return g.onoff != 0 ? std::optional<TGridColour>(cAqua) : std::nullopt;
    case 3:
        return TGridColour{g.Red, g.Green, g.Blue};
    default:
        return std::nullopt;
    }
}

std::optional<TGridColour> ItemCellColour(const TDocument& doc, int kind,
                                          std::string_view numberCell) {
    const int n = GridItemNumber(numberCell);
    return n > 0 && ItemShown(doc, kind, n) ? std::optional<TGridColour>(cAqua) : std::nullopt;
}

void TVisibilityGrids::GroupGridClick(int col, int row) {
    if (row >= 1 && row <= doc_.GroupTable.Count()) {
        selectedGroup_ = row;
        selectedKind_ = doc_.GroupTable[row].kind;
        log_.Add(GroupClickLine(doc_, row));
        if (col == 1) {
            GroupEntry& g = doc_.GroupTable[row];
            g.onoff = g.onoff != 0 ? 0 : 1;
            host_.SetGroupCell(col, row, OnOff(g.onoff != 0));
            host_.RebuildScene();
        }
        host_.HideMarker();
        items_ = ListGroupItems(doc_, row);
        selectedItemRow_ = 0;
        host_.RefreshItemGrid();
        if (col == 3) {
            // The dialog may run a reload that replaces the groups (the watch ticks while it is
            // open), so the group is found again by its names once the colour is chosen.
            const GroupEntry chosen = doc_.GroupTable[row];
            TGridColour colour{chosen.Red, chosen.Green, chosen.Blue};
            int now = 0;
            if (host_.ChooseColour(colour) &&
                FindGroup(doc_, chosen.kind, chosen.name, chosen.rptname, chosen.dddname, now)) {
                GroupEntry& g = doc_.GroupTable[now];
                g.Red = colour.r;
                g.Green = colour.g;
                g.Blue = colour.b;
                host_.RebuildScene();
            }
        }
    }
    host_.FocusView();
}

void TVisibilityGrids::ItemGridClick(int col, int row) {
    if (selectedKind_ == ikNone || row <= 0 || row >= items_.RowCount()) {
        host_.FocusView();
        return;
    }
    const int n = GridItemNumber(items_.Cell(0, row));
    selectedItemRow_ = row;
    if (n > 0 && col == 1 && ToggleItem(doc_, selectedKind_, n)) {
        items_.SetCell(1, row, OnOff(ItemShown(doc_, selectedKind_, n)));
        host_.RefreshItemGrid();
        host_.RebuildScene();
    }
    if (n > 0)
        ShowItemSummary(doc_, selectedKind_, n, log_);
    if (const auto point = ParseGridPoint(items_.Cell(3, row)))
        host_.ShowMarkerAt(*point);
    host_.FocusView();
}

void TVisibilityGrids::SetAll(bool shown) {
    SetAllGroupsShown(doc_, shown);
    host_.RebuildScene();
    host_.RefreshGroupGrid();
}

} // namespace hk
