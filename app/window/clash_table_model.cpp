// The clash list's table model and its columns.
#include "app/window/clash_table_model.h"

#include "app/window/qt_sjis.h"

#include <QBrush>
#include <QColor>

#include <array>
#include <cmath>

namespace hk {
namespace {

// One column: its header, the text of a cell and the key it sorts by. No. is the row's place
// in the clash model (pass order, then the resolved ones).
struct TClashColumn {
    const char* header;
    QVariant (*text)(const TClash& clash, int row);
    QVariant (*key)(const TClash& clash, int row); // none: the text
    bool number = false;                           // right-aligned
};

QVariant Kind(const TClashItem& item) {
    return FromSjis(KindName(item.kind));
}

QString Place(const TClash& clash) {
    return QStringLiteral("%1, %2, %3")
        .arg(clash.point[0], 0, 'f', 0)
        .arg(clash.point[1], 0, 'f', 0)
        .arg(clash.point[2], 0, 'f', 0);
}

// One decimal, without the "-0.0" of a value a hair below zero.
QString DistanceText(double distance) {
    return QString::number(std::fabs(distance) < 0.05 ? 0.0 : distance, 'f', 1);
}

// The order of the types when sorted by 種類: the most urgent first.
int TypeRank(TClashType type) {
    switch (type) {
    case TClashType::Hard:
        return 0;
    case TClashType::Clearance:
        return 1;
    case TClashType::Touch:
        return 2;
    case TClashType::Connected:
        return 3;
    case TClashType::Apart:
        return 4;
    }
    return 5;
}

const std::array<TClashColumn, 13>& Columns() {
    static const std::array<TClashColumn, 13> columns = {{
        {"No.", [](const TClash&, int row) { return QVariant(row + 1); }, nullptr},
        {"状態", [](const TClash& c, int) { return QVariant(ClashStatusText(c.status)); },
         [](const TClash& c, int) { return QVariant(int(c.status)); }},
        {"種類", [](const TClash& c, int) { return QVariant(ClashTypeText(c.type)); },
         [](const TClash& c, int) { return QVariant(TypeRank(c.type)); }},
        {"距離", [](const TClash& c, int) { return QVariant(DistanceText(c.distance)); },
         [](const TClash& c, int) { return QVariant(c.distance); }, true},
        {"A 種別", [](const TClash& c, int) { return Kind(c.a); },
         [](const TClash& c, int) { return QVariant(c.a.kind); }},
        {"A 名称", [](const TClash& c, int) { return QVariant(FromSjis(c.a.name)); }, nullptr},
        {"A 名称補", [](const TClash& c, int) { return QVariant(FromSjis(c.a.rptname)); }, nullptr},
        {"A 行", [](const TClash& c, int) { return QVariant(c.a.lineNo); }, nullptr},
        {"B 種別", [](const TClash& c, int) { return Kind(c.b); },
         [](const TClash& c, int) { return QVariant(c.b.kind); }},
        {"B 名称", [](const TClash& c, int) { return QVariant(FromSjis(c.b.name)); }, nullptr},
        {"B 名称補", [](const TClash& c, int) { return QVariant(FromSjis(c.b.rptname)); }, nullptr},
        {"B 行", [](const TClash& c, int) { return QVariant(c.b.lineNo); }, nullptr},
        {"位置", [](const TClash& c, int) { return QVariant(Place(c)); },
         [](const TClash& c, int) {
             return QVariant(QStringLiteral("%1 %2 %3")
                                 .arg(c.point[0], 20, 'f', 3)
                                 .arg(c.point[1], 20, 'f', 3)
                                 .arg(c.point[2], 20, 'f', 3));
         }},
    }};
    return columns;
}

} // namespace

QString ClashStatusText(TClashStatus status) {
    switch (status) {
    case TClashStatus::csNew:
        return QStringLiteral("新規");
    case TClashStatus::csActive:
        return QStringLiteral("継続");
    case TClashStatus::csResolved:
        return QStringLiteral("解消");
    }
    return {};
}

QString ClashTypeText(TClashType type) {
    switch (type) {
    case TClashType::Hard:
        return QStringLiteral("干渉");
    case TClashType::Touch:
        return QStringLiteral("接触");
    case TClashType::Clearance:
        return QStringLiteral("離隔");
    case TClashType::Connected:
        return QStringLiteral("接続");
    case TClashType::Apart:
        return QStringLiteral("非干渉");
    }
    return {};
}

TClashTableModel::TClashTableModel(const TClashModel& clashes, QObject* parent)
    : QAbstractTableModel(parent), clashes_(clashes), rows_(clashes.Rows()),
      shown_(clashes.Changes()) {}

bool TClashTableModel::Refresh() {
    if (clashes_.Changes() == shown_)
        return false;
    beginResetModel();
    rows_ = clashes_.Rows();
    shown_ = clashes_.Changes();
    endResetModel();
    return true;
}

const TClash* TClashTableModel::ClashAt(int row) const {
    return row >= 0 && row < int(rows_.size()) ? &rows_[std::size_t(row)] : nullptr;
}

int TClashTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int TClashTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(Columns().size());
}

QVariant TClashTableModel::data(const QModelIndex& index, int role) const {
    const TClash* clash = ClashAt(index.row());
    if (!clash || index.column() < 0 || index.column() >= columnCount())
        return {};
    const TClashColumn& column = Columns()[std::size_t(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return column.text(*clash, index.row());
    case cSortRole:
        return column.key ? column.key(*clash, index.row()) : column.text(*clash, index.row());
    case Qt::TextAlignmentRole:
        return column.number ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case Qt::ForegroundRole:
        if (clash->status == TClashStatus::csResolved)
            return QBrush(QColor(Qt::gray));
        return {};
    default:
        return {};
    }
}

QVariant TClashTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= columnCount())
        return {};
    return QString::fromUtf8(Columns()[std::size_t(section)].header);
}

} // namespace hk
