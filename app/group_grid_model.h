// The window-free content of the group grid: one row per group of GroupTable under a fixed
// header row, five columns, with the texts and column widths the grid shows.
#pragma once

#include "app/document.h"

#include <array>
#include <string>
#include <vector>

namespace hk {

inline constexpr int cGroupGridColumns = 5;
inline constexpr int cGroupGridDefaultColWidth = 28;
inline constexpr int cGroupGridWideColWidth = 40;

struct TGroupGridModel {
    // Row 0 holds the headers "名称", "表示", "直径", "色彩", "名称補"; row r (r >= 1) group r.
    // At least two rows, so an empty table shows one empty data row. Texts are Shift-JIS.
    std::vector<std::array<std::string, cGroupGridColumns>> rows;
    // Columns 0 and 4 are 40 pixels wide, the others keep the default 28.
    std::array<int, cGroupGridColumns> colWidths{};

    int RowCount() const { return int(rows.size()); }
};

// Fills the model from doc.GroupTable. Row r: the group's name, "on" or "off", its dddname,
// its ddd as a float rounded half to even when the trimmed dddname is not empty (else empty),
// and its rptname.
TGroupGridModel FillGroupGrid(const TDocument& doc);

} // namespace hk
