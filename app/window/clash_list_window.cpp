// The clash list window.
#include "app/window/clash_list_window.h"

#include "app/window/clash_approval_proxy.h"
#include "app/window/clash_table_model.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

namespace hk {

TClashListWindow::TClashListWindow(const TClashModel& clashes, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("ClashList"));
    model_ = new TClashTableModel(clashes, this);
    sorted_ = new TClashApprovalProxy(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(TClashTableModel::cSortRole);

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("ClashTable"));
    table_->setModel(sorted_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSortingEnabled(true);
    table_->sortByColumn(TClashTableModel::cDistanceColumn, Qt::AscendingOrder);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);

    dimOthers_ = new QCheckBox(QStringLiteral("他を半透明"), this);
    dimOthers_->setObjectName(QStringLiteral("DimOthers"));
    const auto typeToggle = [this](const char* text, const char* name, TClashType type) {
        auto* box = new QCheckBox(QString::fromUtf8(text), this);
        box->setObjectName(QString::fromLatin1(name));
        connect(box, &QCheckBox::toggled, this,
                [this, type](bool on) { sorted_->SetTypeShown(type, on); });
        return box;
    };
    showTouch_ = typeToggle("接触を表示", "ShowTouch", TClashType::Touch);
    showConnected_ = typeToggle("接続を表示", "ShowConnected", TClashType::Connected);
    showApart_ = typeToggle("非干渉を表示", "ShowApart", TClashType::Apart);
    hidden_ = new QLabel(this);
    hidden_->setObjectName(QStringLiteral("HiddenClashes"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    auto* row = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(dimOthers_), static_cast<QWidget*>(showTouch_),
                       static_cast<QWidget*>(showConnected_), static_cast<QWidget*>(showApart_)})
        row->addWidget(w);
    row->addStretch();
    row->addWidget(hidden_);
    layout->addLayout(row);
    resize(1000, 320);
    table_->resizeColumnsToContents();
    UpdateTitle();
    UpdateFooter();

    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!restoring_)
            EmitSelection(true);
    });
    connect(table_, &QTableView::activated, this, [this] { emit Activated(Selected()); });
    connect(dimOthers_, &QCheckBox::toggled, this, &TClashListWindow::DimOthersToggled);
    connect(sorted_, &TClashApprovalProxy::CountsChanged, this, &TClashListWindow::UpdateTitle);
    connect(sorted_, &TClashApprovalProxy::CountsChanged, this, &TClashListWindow::UpdateFooter);
    // Escape clears the selection, and with it the highlight.
    auto* clear = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(clear, &QShortcut::activated, table_, &QTableView::clearSelection);
}

void TClashListWindow::Refresh() {
    const std::optional<TClash> selected = Selected();
    const int scroll = table_->verticalScrollBar()->value();
    restoring_ = true;
    const bool changed = model_->Refresh();
    if (changed) {
        if (selected) {
            for (int row = 0; row < ViewRowCount(); ++row) {
                if (ClashAtViewRow(row)->identity == selected->identity) {
                    table_->selectionModel()->select(sorted_->index(row, 0),
                                                     QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
                    table_->selectionModel()->setCurrentIndex(sorted_->index(row, 0),
                                                              QItemSelectionModel::NoUpdate);
                    break;
                }
            }
        }
        table_->verticalScrollBar()->setValue(scroll);
        UpdateTitle();
    }
    restoring_ = false;
    // Told once, after the reset: the clash kept its place in the list or went, and its
    // lines may have moved.
    if (changed && (selected || Selected()))
        EmitSelection(false);
}

const TClash* TClashListWindow::ClashAtViewRow(int row) const {
    return model_->ClashAt(sorted_->mapToSource(sorted_->index(row, 0)).row());
}

int TClashListWindow::ViewRowCount() const {
    return sorted_->rowCount();
}

std::optional<TClash> TClashListWindow::Selected() const {
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    const TClash* clash = ClashAtViewRow(rows.front().row());
    return clash ? std::optional<TClash>(*clash) : std::nullopt;
}

void TClashListWindow::hideEvent(QHideEvent* event) {
    // A closed list leaves no highlight behind.
    table_->clearSelection();
    QWidget::hideEvent(event);
}

void TClashListWindow::UpdateTitle() {
    QString title = QStringLiteral("衝突一覧 (%1件)").arg(model_->rowCount());
    if (const int approved = sorted_->ApprovedCount(); approved > 0)
        title += QStringLiteral(" 承認済 %1").arg(approved);
    setWindowTitle(title);
}

QCheckBox& TClashListWindow::ShowType(TClashType type) {
    return type == TClashType::Touch       ? *showTouch_
           : type == TClashType::Connected ? *showConnected_
                                           : *showApart_;
}

// "非表示 N件", with the count of each hidden type that has rows.
void TClashListWindow::UpdateFooter() {
    int total = 0;
    QStringList parts;
    for (TClashType type : {TClashType::Touch, TClashType::Connected, TClashType::Apart}) {
        if (const int count = sorted_->HiddenCount(type); count > 0) {
            total += count;
            parts << QStringLiteral("%1 %2").arg(ClashTypeText(type)).arg(count);
        }
    }
    QString text = QStringLiteral("非表示 %1件").arg(total);
    if (!parts.isEmpty())
        text += QStringLiteral(" (") + parts.join(QStringLiteral(", ")) + QLatin1Char(')');
    hidden_->setText(text);
}

void TClashListWindow::EmitSelection(bool byUser) {
    emit SelectionChanged(Selected(), byUser);
}

} // namespace hk
