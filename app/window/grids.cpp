// Owner drawing and clicks of the group and item grids, and the marker clicks on the panels.
#include "app/window/grids.h"

#include "app/window/qt_sjis.h"
#include "app/window/string_grid.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QWidget>

#include <optional>

namespace hk {
namespace {

// Draws the cells it is asked to draw itself: filled with the cell's colour or the grid's
// background, the text on one line 2 pixels from the left edge, vertically centred and clipped
// to the cell. Other cells get the default drawing.
class TOwnerDrawnCells : public QStyledItemDelegate {
public:
    // The colour of a cell drawn here, or nullopt for the background.
    using ColourOf = std::function<std::optional<TGridColour>(int col, int row)>;
    // True for the cells drawn here.
    using DrawsCell = std::function<bool(int col, int row)>;

    TOwnerDrawnCells(TStringGrid& grid, DrawsCell drawsCell, ColourOf colourOf)
        : QStyledItemDelegate(&grid), grid_(grid), drawsCell_(std::move(drawsCell)),
          colourOf_(std::move(colourOf)) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int col = index.column();
        const int row = index.row();
        if (!drawsCell_(col, row)) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const std::optional<TGridColour> colour = colourOf_(col, row);
        const QColor fill =
            colour ? QColor(colour->r, colour->g, colour->b) : grid_.palette().base().color();
        painter->save();
        painter->setClipRect(option.rect);
        painter->fillRect(option.rect, fill);
        painter->setPen(grid_.palette().text().color());
        painter->drawText(option.rect.adjusted(2, 0, 0, 0),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

private:
    TStringGrid& grid_;
    DrawsCell drawsCell_;
    ColourOf colourOf_;
};

} // namespace

TWindowGrids::TWindowGrids(TStringGrid& groupGrid, TStringGrid& itemGrid, TDocument& doc,
                           TMessageLog& log, TActions actions, QObject* parent)
    : QObject(parent), groupGrid_(groupGrid), itemGrid_(itemGrid), doc_(doc),
      actions_(std::move(actions)), grids_(doc, log, *this) {
    groupGrid_.setItemDelegate(new TOwnerDrawnCells(
        groupGrid_, [](int, int) { return true; },
        [this](int col, int row) { return GroupCellColour(doc_, col, row); }));
    itemGrid_.setItemDelegate(new TOwnerDrawnCells(
        itemGrid_,
        [this](int col, int row) {
            return col == 1 && row >= 1 && GridItemNumber(grids_.ItemGrid().Cell(0, row)) > 0;
        },
        [this](int, int row) {
            return ItemCellColour(doc_, grids_.SelectedKind(), grids_.ItemGrid().Cell(0, row));
        }));
    connect(&groupGrid_, &TStringGrid::cellClicked, this,
            [this](int row, int col) { grids_.GroupGridClick(col, row); });
    connect(&itemGrid_, &TStringGrid::cellClicked, this,
            [this](int row, int col) { grids_.ItemGridClick(col, row); });
    RefreshItemGrid();
}

TWindowGrids::~TWindowGrids() {
    if (leftPanel_)
        leftPanel_->removeEventFilter(this);
    if (rightPanel_)
        rightPanel_->removeEventFilter(this);
}

void TWindowGrids::WatchPanels(QWidget& leftPanel, QWidget& rightPanel) {
    leftPanel_ = &leftPanel;
    rightPanel_ = &rightPanel;
    leftPanel.installEventFilter(this);
    rightPanel.installEventFilter(this);
}

bool TWindowGrids::eventFilter(QObject* watched, QEvent* event) {
    // A press that a child control passed on (a label) is not on the free area.
    const auto onFreeArea = [event](QWidget* panel) {
        const auto* press = static_cast<QMouseEvent*>(event);
        return press->button() == Qt::LeftButton &&
               panel->childAt(press->position().toPoint()) == nullptr;
    };
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == leftPanel_ || watched == rightPanel_) &&
        onFreeArea(static_cast<QWidget*>(watched))) {
        if (watched == leftPanel_)
            actions_.showMarker(true);
        else if (watched == rightPanel_)
            actions_.showMarker(false);
    }
    return QObject::eventFilter(watched, event);
}

void TWindowGrids::RebuildScene() {
    actions_.buildScene();
    groupGrid_.viewport()->update();
    itemGrid_.viewport()->update();
}

void TWindowGrids::SetGroupCell(int col, int row, const std::string& text) {
    groupGrid_.SetCell(col, row, FromSjis(text));
}

void TWindowGrids::RefreshGroupGrid() {
    actions_.fillGroupGrid();
    groupGrid_.viewport()->update();
}

void TWindowGrids::RefreshItemGrid() {
    const TItemGridModel& model = grids_.ItemGrid();
    for (int col = 0; col < cItemGridColumns; ++col)
        itemGrid_.SetColWidth(col, cItemGridColWidths[static_cast<std::size_t>(col)]);
    itemGrid_.SetRowCount(model.RowCount());
    for (int row = 0; row < model.RowCount(); ++row)
        for (int col = 0; col < cItemGridColumns; ++col)
            itemGrid_.SetCell(col, row, FromSjis(model.Cell(col, row)));
    itemGrid_.viewport()->update();
}

void TWindowGrids::ShowMarkerAt(const std::array<double, 3>& dataPoint) {
    actions_.placeMarker(dataPoint);
    actions_.showMarker(true);
}

void TWindowGrids::HideMarker() {
    actions_.showMarker(false);
}

bool TWindowGrids::ChooseColour(TGridColour& colour) {
    return actions_.chooseColour(colour);
}

void TWindowGrids::FocusView() {
    actions_.focusView();
}

} // namespace hk
