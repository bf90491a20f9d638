// The register as a table model for the data page's grid: name, birth data,
// then the palace fields grouped 成敗, 六親, 幸禍; rows follow the register's
// view, and an edit of the current record shows in its cells at once.
#pragma once

#include <QAbstractTableModel>

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

private:
    PersonTable& table_;
};

}  // namespace zelvara
