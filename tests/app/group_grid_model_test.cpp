// The group grid's rows: texts per column, rounding of the diameter, widths.
#include "app/group_grid_model.h"

#include <gtest/gtest.h>

namespace hk {
namespace {

TEST(GroupGrid, RowsShowNamesMarksDiametersAndReportNames) {
    TDocument doc;
    EXPECT_EQ(FillGroupGrid(doc).RowCount(), 2);
    GroupEntry pipe;
    pipe.name = "CHS";
    pipe.onoff = 1;
    pipe.dddname = "100A";
    pipe.ddd = 56.5;
    pipe.rptname = "r";
    doc.GroupTable.Append(pipe);
    GroupEntry plain;
    plain.name = "K";
    plain.ddd = 12;
    doc.GroupTable.Append(plain);
    GroupEntry odd;
    odd.dddname = "X";
    odd.ddd = 57.5;
    doc.GroupTable.Append(odd);

    const TGroupGridModel model = FillGroupGrid(doc);
    ASSERT_EQ(model.RowCount(), 4);
    EXPECT_EQ(model.rows[0][0], "\x96\xbc\x8f\xcc");
    EXPECT_EQ(model.rows[1], (std::array<std::string, 5>{"CHS", "on", "100A", "56", "r"}));
    EXPECT_EQ(model.rows[2], (std::array<std::string, 5>{"K", "off", "", "", ""}));
    EXPECT_EQ(model.rows[3][3], "58");
    EXPECT_EQ(model.colWidths, (std::array<int, 5>{40, 28, 28, 28, 40}));
}

} // namespace
} // namespace hk
