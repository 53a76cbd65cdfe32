// The window side of the group grid StringGrid1 and the item grid StringGrid2: their owner-drawn
// cells, their clicks, the "全件表示" / "全件非表示" buttons and the clicks on the free areas of
// the two panels that show and hide the marker sphere. The selection state and the click logic
// are window-free (TVisibilityGrids); this class shows the models and does the window's part.
#pragma once

#include "app/document.h"
#include "app/item_grid_model.h"
#include "app/message_log.h"

#include <QObject>

#include <array>
#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace hk {

class TStringGrid;

class TWindowGrids : public QObject, public TGridHost {
    Q_OBJECT
public:
    // What the grids need from the main window. Every function must be set.
    struct TActions {
        std::function<void()> buildScene;     // rebuilds the scene and redraws the view
        std::function<void()> fillGroupGrid;  // refills StringGrid1 from the group table
        std::function<void(bool)> showMarker; // shows or hides GLSphere1 and redraws
        // Places GLSphere1 on a data-file point through the coordinate mapping.
        std::function<void(const std::array<double, 3>&)> placeMarker;
        std::function<bool(TGridColour&)> chooseColour; // the colour dialog
        std::function<void()> focusView;
    };

    // Sets up both grids (owner drawing, widths, headers) and connects their clicks. The grids
    // and panels are owned by the window and must outlive this object.
    TWindowGrids(TStringGrid& groupGrid, TStringGrid& itemGrid, TDocument& doc, TMessageLog& log,
                 TActions actions, QObject* parent = nullptr);
    ~TWindowGrids() override;

    // Clicks on the free area of leftPanel show the marker, on rightPanel hide it.
    void WatchPanels(QWidget& leftPanel, QWidget& rightPanel);

    // The "全件表示" and "全件非表示" buttons.
    void ShowAll() { grids_.ShowAll(); }
    void HideAll() { grids_.HideAll(); }

    // TGridHost
    void RebuildScene() override;
    void SetGroupCell(int col, int row, const std::string& text) override;
    void RefreshGroupGrid() override;
    void RefreshItemGrid() override;
    void ShowMarkerAt(const std::array<double, 3>& dataPoint) override;
    void HideMarker() override;
    bool ChooseColour(TGridColour& colour) override;
    void FocusView() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TStringGrid& groupGrid_;
    TStringGrid& itemGrid_;
    const TDocument& doc_;
    TActions actions_;
    TVisibilityGrids grids_;
    QWidget* leftPanel_ = nullptr;
    QWidget* rightPanel_ = nullptr;
};

} // namespace hk
