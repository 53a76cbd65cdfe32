// The clash list's sorting and approval filter.
#include "app/window/clash_approval_proxy.h"

#include "app/window/clash_table_model.h"

namespace hk {

TClashApprovalProxy::TClashApprovalProxy(QObject* parent) : QSortFilterProxyModel(parent) {
    connect(this, &QAbstractItemModel::modelReset, this, &TClashApprovalProxy::CountsChanged);
}

void TClashApprovalProxy::SetIsApproved(IsApproved isApproved) {
    isApproved_ = std::move(isApproved);
    ApprovalsChanged();
}

void TClashApprovalProxy::SetShowApproved(bool show) {
    showApproved_ = show;
    invalidateFilter();
}

void TClashApprovalProxy::ApprovalsChanged() {
    invalidate();
    emit CountsChanged();
}

int TClashApprovalProxy::ApprovedCount() const {
    const QAbstractItemModel* source = sourceModel();
    int count = 0;
    for (int row = 0; source && row < source->rowCount(); ++row)
        count += IsApprovedRow(row);
    return count;
}

QVariant TClashApprovalProxy::data(const QModelIndex& index, int role) const {
    QVariant value = QSortFilterProxyModel::data(index, role);
    if (role == Qt::DisplayRole && index.column() == StatusColumn() &&
        IsApprovedRow(mapToSource(index).row()))
        return value.toString() + QStringLiteral(" 承認済");
    return value;
}

bool TClashApprovalProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    return showApproved_ || !IsApprovedRow(sourceRow);
}

bool TClashApprovalProxy::IsApprovedRow(int sourceRow) const {
    const auto* table = qobject_cast<const TClashTableModel*>(sourceModel());
    const TClash* clash = table ? table->ClashAt(sourceRow) : nullptr;
    return clash && isApproved_ && isApproved_(*clash);
}

// The column headed "状態", wherever the table puts it.
int TClashApprovalProxy::StatusColumn() const {
    const QAbstractItemModel* source = sourceModel();
    for (int column = 0; source && column < source->columnCount(); ++column)
        if (source->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString() ==
            QStringLiteral("状態"))
            return column;
    return -1;
}

} // namespace hk
