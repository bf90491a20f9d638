#include "person_grid_model.h"

#include "person_table.h"

#include <algorithm>

namespace zelvara {
namespace {

// Field index of each column, and the titles of the first six columns.
constexpr int kColumnFields[] = {0, 1, 2, 3, 4, 5,                // name, birth data, sex
                                 7, 11, 15, 13,                   // 成敗: meikyu zaihaku kanroku seni
                                 6, 8, 9, 10,                     // 六親: hubo keitei husai sijyo
                                 14, 16, 17, 12};                 // 幸禍: nuboku dentaku hukutoku situyaku
constexpr const char16_t* kLeadingTitles[] = {u"氏名", u"年", u"月", u"日", u"時刻", u"性"};
constexpr int kColumnCount = int(std::size(kColumnFields));

}  // namespace

PersonGridModel::PersonGridModel(PersonTable& table, QObject* parent) : QAbstractTableModel(parent), table_(table)
{
    connect(&table_, &PersonTable::recordsReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&table_, &PersonTable::valueEdited, this, [this](int field) {
        for (int c = 0; c < kColumnCount; ++c) {
            if (kColumnFields[c] == field)
                emit dataChanged(index(table_.CurrentRow(), c), index(table_.CurrentRow(), c));
        }
    });
}

int PersonGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : table_.RecordCount();
}

int PersonGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant PersonGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole || index.row() >= table_.RecordCount())
        return {};
    return table_.Record(index.row()).values[kColumnFields[index.column()]];
}

QVariant PersonGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return QString();
    if (section < int(std::size(kLeadingTitles)))
        return QString::fromUtf16(kLeadingTitles[section]);
    return FieldLabel(kColumnFields[section]);
}

int PersonGridModel::FieldOfColumn(int column) { return kColumnFields[column]; }

int PersonGridModel::ColumnWidth(int column, const QFontMetrics& metrics)
{
    const int margins = 2 * metrics.averageCharWidth() + 4;
    if (column == 0)  // ten of the widest characters, and the cell's margins
        return metrics.horizontalAdvance(QString(10, QChar(0x5F45))) + margins;
    constexpr int kLeading[] = {92, 38, 24, 24, 76, 22};
    if (column == 4)  // the period text whole at any screen scale
        return std::max(kLeading[4], metrics.horizontalAdvance(QStringLiteral("23:00-01:00")) + margins);
    return column < int(std::size(kLeading)) ? kLeading[column] : 33;
}

}  // namespace zelvara
