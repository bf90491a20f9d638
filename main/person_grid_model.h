// The person grid's view of the register: name, birth data, then the palace
// fields grouped 成敗, 六親, 幸禍.
#pragma once

#include <QAbstractTableModel>
#include <QFontMetrics>

namespace zelvara {

class PersonTable;

class PersonGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit PersonGridModel(PersonTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static int FieldOfColumn(int column);
    // Width of a column in the grid's font: the 氏名 column holds a full
    // ten-character name (the field's 20 bytes) on one line.
    static int ColumnWidth(int column, const QFontMetrics& metrics);

private:
    PersonTable& table_;
};

}  // namespace zelvara
