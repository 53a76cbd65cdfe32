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

void TClashApprovalProxy::SetTypeShown(TClashType type, bool shown) {
    bool* flag = type == TClashType::Touch       ? &showTouch_
                 : type == TClashType::Connected ? &showConnected_
                 : type == TClashType::Apart     ? &showApart_
                                                 : nullptr;
    if (!flag || *flag == shown)
        return;
    *flag = shown;
    invalidateFilter();
    emit CountsChanged();
}

bool TClashApprovalProxy::TypeShown(TClashType type) const {
    switch (type) {
    case TClashType::Touch:
        return showTouch_;
    case TClashType::Connected:
        return showConnected_;
    case TClashType::Apart:
        return showApart_;
    case TClashType::Hard:
    case TClashType::Clearance:
        break;
    }
    return true;
}

int TClashApprovalProxy::HiddenCount(TClashType type) const {
    if (TypeShown(type))
        return 0;
    const QAbstractItemModel* source = sourceModel();
    int count = 0;
    for (int row = 0; source && row < source->rowCount(); ++row)
        count += ClashAt(row) && ClashAt(row)->type == type;
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
    const TClash* clash = ClashAt(sourceRow);
    return (showApproved_ || !IsApprovedRow(sourceRow)) && (!clash || TypeShown(clash->type));
}

bool TClashApprovalProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const QVariant a = left.data(sortRole()), b = right.data(sortRole());
    const QPartialOrdering order = QVariant::compare(a, b);
    if (order == QPartialOrdering::Less || order == QPartialOrdering::Greater)
        return order == QPartialOrdering::Less;
    return left.row() < right.row();
}

const TClash* TClashApprovalProxy::ClashAt(int sourceRow) const {
    const auto* table = qobject_cast<const TClashTableModel*>(sourceModel());
    return table ? table->ClashAt(sourceRow) : nullptr;
}

bool TClashApprovalProxy::IsApprovedRow(int sourceRow) const {
    const TClash* clash = ClashAt(sourceRow);
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
