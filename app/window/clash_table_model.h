// TClashTableModel: the rows of the clash model as a Qt table: No., 状態, 種類, 距離 (one
// decimal, negative: the depth), then for A and B 種別, 名称, 名称補, 行, then 位置. The columns
// are a table of their own, so that more can be added without touching the rest. The model keeps a
// copy of the rows it shows and takes the clash model's rows again only when they changed.
#pragma once

#include "app/clash_model.h"

#include <QAbstractTableModel>

#include <vector>

namespace hk {

class TClashTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The sort key of a cell (numbers for numeric columns, texts otherwise).
    static constexpr int cSortRole = Qt::UserRole;
    // The column the list sorts by at first: 距離, deepest first.
    static constexpr int cDistanceColumn = 3;

    // `clashes` must outlive the table model.
    explicit TClashTableModel(const TClashModel& clashes, QObject* parent = nullptr);

    // Takes the clash model's rows when they changed since the last call; true when it did
    // (the model was reset).
    bool Refresh();

    // The clash of a row of this model, or none.
    const TClash* ClashAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const TClashModel& clashes_;
    std::vector<TClash> rows_;
    unsigned shown_ = 0;
};

// "新規", "継続", "解消".
QString ClashStatusText(TClashStatus status);
// "干渉", "接触", "離隔", "接続", "非干渉".
QString ClashTypeText(TClashType type);

} // namespace hk
