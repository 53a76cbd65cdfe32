// The group grid's rows, texts and widths.
#include "app/group_grid_model.h"

#include "app/data_file.h"

#include <cmath>

namespace hk {

TGroupGridModel FillGroupGrid(const TDocument& doc) {
    TGroupGridModel model;
    const int groups = doc.GroupTable.Count();
    model.rows.resize(std::size_t(groups < 1 ? 2 : groups + 1));
    // "名称", "表示", "直径", "色彩", "名称補" in Shift-JIS.
    model.rows[0] = {"\x96\xbc\x8f\xcc", "\x95\x5c\x8e\xa6", "\x92\xbc\x8c\x61", "\x90\x46\x8d\xca",
                     "\x96\xbc\x8f\xcc\x95\xe2"};
    for (int r = 1; r <= groups; ++r) {
        const GroupEntry& g = doc.GroupTable[r];
        auto& row = model.rows[std::size_t(r)];
        row[0] = g.name.str();
        row[1] = g.onoff != 0 ? "on" : "off";
        row[2] = g.dddname.str();
        if (!TrimName(g.dddname).empty())
            row[3] = std::to_string(std::lrint(static_cast<float>(g.ddd)));
        row[4] = g.rptname.str();
    }
    model.colWidths = {cGroupGridWideColWidth, cGroupGridDefaultColWidth, cGroupGridDefaultColWidth,
                       cGroupGridDefaultColWidth, cGroupGridWideColWidth};
    return model;
}

} // namespace hk
