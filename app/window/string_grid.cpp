// Cell access and fixed-cell styling of the text grid.
#include "app/window/string_grid.h"

#include <QHeaderView>
#include <algorithm>
#include <memory>

namespace hk {

TStringGrid::TStringGrid(const TStringGridShape& shape, QWidget* parent)
    : QTableWidget(parent), fixedCols_(std::max(0, shape.fixedCols)),
      fixedRows_(std::max(0, shape.fixedRows)), defaultColWidth_(shape.defaultColWidth),
      defaultRowHeight_(shape.defaultRowHeight) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(defaultColWidth_);
    verticalHeader()->setDefaultSectionSize(defaultRowHeight_);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setColumnCount(std::max(shape.colCount, fixedCols_ + 1));
    setRowCount(0);
    SetRowCount(shape.rowCount);
}

void TStringGrid::SetRowCount(int count) {
    const int old = rowCount();
    setRowCount(std::max(count, fixedRows_ + 1));
    if (rowCount() > old) {
        ShapeRows(old);
    }
}

QString TStringGrid::Cell(int col, int row) const {
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void TStringGrid::SetCell(int col, int row, const QString& text) {
    if (col < 0 || col >= columnCount() || row < 0 || row >= rowCount()) {
        return;
    }
    item(row, col)->setText(text);
}

// Every cell gets an item at once, so fixed cells carry their header look and writes never
// need to create one.
void TStringGrid::ShapeRows(int from) {
    const QBrush fixedBrush = palette().button();
    for (int row = from; row < rowCount(); ++row) {
        setRowHeight(row, defaultRowHeight_);
        for (int col = 0; col < columnCount(); ++col) {
            auto cell = std::make_unique<QTableWidgetItem>();
            if (row < fixedRows_ || col < fixedCols_) {
                cell->setFlags(Qt::ItemIsEnabled);
                cell->setBackground(fixedBrush);
            }
            setItem(row, col, cell.release());
        }
    }
}

} // namespace hk
