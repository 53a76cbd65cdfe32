// TClashListWindow, "衝突一覧": the non-modal window listing the clashes of the last pass in a
// sortable table, deepest first, with the toggle "他を半透明", toggles showing the types hidden
// by default (接触, 接続, 非干渉) and a footer counting the rows they hide. It follows the clash
// model after every pass, but redraws only when the rows changed, keeping the selected clash and
// the scroll position. What a selection does in the 3D view is left to whoever listens to its
// signals.
#pragma once

#include "app/clash_model.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QLabel;
class QTableView;

namespace hk {

class TClashApprovalProxy;
class TClashTableModel;

class TClashListWindow : public QWidget {
    Q_OBJECT
public:
    // A top-level window of its own, owned by `parent`; `clashes` must outlive it.
    TClashListWindow(const TClashModel& clashes, QWidget* parent);

    // Follows the clash model: when its rows changed, shows them and the count in the title,
    // selects the same clash again if it is still listed and keeps the scroll position.
    void Refresh();

    // The clash of a row as the view shows it (sorted), or none.
    const TClash* ClashAtViewRow(int row) const;
    int ViewRowCount() const;
    // The selected clash, or none.
    std::optional<TClash> Selected() const;
    QTableView& Table() { return *table_; }
    QCheckBox& DimOthers() { return *dimOthers_; }
    // Sorting, and the approval filter and marks of the rows.
    TClashApprovalProxy& Approvals() { return *sorted_; }

    // The toggle showing the rows of Touch, Connected or Apart.
    QCheckBox& ShowType(TClashType type);

signals:
    // The selection changed: the clash now selected (none when cleared); `byUser` is false
    // when a refresh selected the same clash again in its new row.
    void SelectionChanged(std::optional<hk::TClash> clash, bool byUser);
    // Enter on a row: the user asks for the clash again.
    void Activated(std::optional<hk::TClash> clash);
    void DimOthersToggled(bool on);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void UpdateTitle();
    void UpdateFooter();
    void EmitSelection(bool byUser);

    TClashTableModel* model_ = nullptr;
    TClashApprovalProxy* sorted_ = nullptr;
    QTableView* table_ = nullptr;
    QCheckBox* dimOthers_ = nullptr;
    QCheckBox* showTouch_ = nullptr;
    QCheckBox* showConnected_ = nullptr;
    QCheckBox* showApart_ = nullptr;
    QLabel* hidden_ = nullptr;
    bool restoring_ = false;
};

} // namespace hk
