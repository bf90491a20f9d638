#include "register/person_grid_model.h"

#include "register/person_table.h"

#include <iterator>

namespace zelvara {
namespace {

// Field index of each column, and the titles of the first six columns.
constexpr int kColumnFields[] = {0,  1,  2,  3,  4, 5,  // name, birth data, sex
                                 7,  11, 15, 13,        // 成敗: meikyu zaihaku kanroku seni
                                 6,  8,  9,  10,        // 六親: hubo keitei husai sijyo
                                 14, 16, 17, 12};       // 幸禍: nuboku dentaku hukutoku situyaku
constexpr const char16_t* kLeadingTitles[] = {u"氏名", u"年", u"月", u"日", u"時刻", u"性"};
constexpr int kColumnCount = int(std::size(kColumnFields));

}  // namespace

PersonGridModel::PersonGridModel(PersonTable& table, QObject* parent) : QAbstractTableModel(parent), table_(table) {
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

int PersonGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : table_.RecordCount(); }

int PersonGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant PersonGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole || index.row() >= table_.RecordCount()) return {};
    return table_.Record(index.row()).values[kColumnFields[index.column()]];
}

QVariant PersonGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return QString();
    if (section < int(std::size(kLeadingTitles))) return QString::fromUtf16(kLeadingTitles[section]);
    return FieldLabel(kColumnFields[section]);
}

int PersonGridModel::FieldOfColumn(int column) { return kColumnFields[column]; }

}  // namespace zelvara
