// A text grid in the manner of the main window's group and item grids: cells addressed by
// (column, row) with the fixed header row and column counted in, a default column width and a
// row height, and fixed cells drawn like headers and not selectable.
#pragma once

#include <QString>
#include <QTableWidget>

namespace hk {

struct TStringGridShape {
    int colCount = 5;
    int rowCount = 5;
    int fixedCols = 1;
    int fixedRows = 1;
    int defaultColWidth = 64;
    int defaultRowHeight = 24;
};

class TStringGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TStringGrid(const TStringGridShape& shape, QWidget* parent = nullptr);

    int ColCount() const { return columnCount(); }
    int RowCount() const { return rowCount(); }
    int FixedCols() const { return fixedCols_; }
    int FixedRows() const { return fixedRows_; }
    int DefaultColWidth() const { return defaultColWidth_; }
    int DefaultRowHeight() const { return defaultRowHeight_; }

    // Growing adds empty rows of the default height; shrinking drops the last rows. The count
    // never goes below the fixed rows plus one.
    void SetRowCount(int count);
    int ColWidth(int col) const { return columnWidth(col); }
    void SetColWidth(int col, int width) { setColumnWidth(col, width); }

    // Text of a cell; an out-of-range cell reads empty and ignores writes.
    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);

private:
    void ShapeRows(int from);

    int fixedCols_;
    int fixedRows_;
    int defaultColWidth_;
    int defaultRowHeight_;
};

} // namespace hk
