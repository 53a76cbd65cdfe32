// TClashApprovalProxy: the clash list's rows as its view shows them: sorted, approved clashes
// left out unless the user asks for them, and marked "承認済" in the status column when shown;
// of the types, 干渉 and 離隔 always shown, 接触, 接続 and 非干渉 only when asked for.
#pragma once

#include "app/clash_model.h"

#include <QSortFilterProxyModel>

#include <functional>

namespace hk {

class TClashApprovalProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using IsApproved = std::function<bool(const TClash&)>;

    explicit TClashApprovalProxy(QObject* parent = nullptr);

    // Which clashes are approved; none are until it is set. Filters again.
    void SetIsApproved(IsApproved isApproved);
    // Approved rows are hidden by default.
    void SetShowApproved(bool show);
    bool ShowApproved() const { return showApproved_; }
    // After approvals changed: filters and marks again.
    void ApprovalsChanged();
    // The approved rows of the source model, shown or not.
    int ApprovedCount() const;

    // Shows or hides the rows of a type that can be hidden (Touch, Connected, Apart; the
    // others are always shown). Filters again.
    void SetTypeShown(TClashType type, bool shown);
    bool TypeShown(TClashType type) const;
    // The rows of the source model of this type that the type filter hides.
    int HiddenCount(TClashType type) const;

    QVariant data(const QModelIndex& index, int role) const override;

signals:
    // The approvals or the rows changed: the approved count may differ.
    void CountsChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    // Equal keys keep the clash model's order.
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    const TClash* ClashAt(int sourceRow) const;
    bool IsApprovedRow(int sourceRow) const;
    int StatusColumn() const;

    IsApproved isApproved_;
    bool showApproved_ = false;
    bool showTouch_ = false, showConnected_ = false, showApart_ = false;
};

} // namespace hk
