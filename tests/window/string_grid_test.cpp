// The text grid: cell addressing with the fixed row and column counted in, bounds, growth.
#include "app/window/string_grid.h"
#include "tests/window/window_test_support.h"

#include <gtest/gtest.h>

namespace hk {
namespace {

class Grid : public test::QtTest {
protected:
};

TEST_F(Grid, CellsOutsideTheGridReadEmptyAndIgnoreWrites) {
    TStringGrid grid({4, 3, 1, 1, 28, 18});
    grid.SetCell(3, 2, QStringLiteral("120,-351,0"));
    EXPECT_EQ(grid.Cell(3, 2), QStringLiteral("120,-351,0"));
    for (auto [col, row] : {std::pair{4, 0}, std::pair{0, 3}, std::pair{-1, 0}, std::pair{0, -1}}) {
        grid.SetCell(col, row, QStringLiteral("x"));
        EXPECT_TRUE(grid.Cell(col, row).isEmpty());
    }
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(grid.RowCount(), 3);
}

TEST_F(Grid, RowCountGrowsWithShapedRowsAndNeverDropsBelowOneDataRow) {
    TStringGrid grid({5, 6, 1, 1, 28, 18});
    grid.SetCell(1, 5, QStringLiteral("on"));
    grid.SetRowCount(2);
    EXPECT_EQ(grid.RowCount(), 2);
    grid.SetRowCount(0);
    EXPECT_EQ(grid.RowCount(), 2);
    grid.SetRowCount(8);
    EXPECT_EQ(grid.RowCount(), 8);
    // Rows dropped and grown again come back empty, at the row height, and writable.
    EXPECT_TRUE(grid.Cell(1, 5).isEmpty());
    EXPECT_EQ(grid.rowHeight(7), 18);
    grid.SetCell(4, 7, QStringLiteral("end"));
    EXPECT_EQ(grid.Cell(4, 7), QStringLiteral("end"));
}

TEST_F(Grid, FixedCellsCannotBeSelected) {
    TStringGrid grid({5, 6, 1, 1, 28, 18});
    EXPECT_FALSE(grid.item(0, 2)->flags() & Qt::ItemIsSelectable);
    EXPECT_FALSE(grid.item(3, 0)->flags() & Qt::ItemIsSelectable);
    EXPECT_TRUE(grid.item(3, 2)->flags() & Qt::ItemIsSelectable);
}

} // namespace
} // namespace hk
