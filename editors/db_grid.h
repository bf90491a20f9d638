// A grid over a data source: one row per record, one column per chosen field.
// Picking a row moves the current record (saving its edits first); the grid
// follows the current record when something else moves it.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>

class QTableView;
class QWidget;

namespace zelvara {

class ReadingDataSource;

class ReadingGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // fields empty: every field the table has, whenever it is read again.
    ReadingGridModel(ReadingDataSource& source, const QStringList& fields, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    const QStringList& Fields() const { return fields_; }

private:
    ReadingDataSource& source_;
    QStringList fields_;
    bool allFields_;
};

// The grid view named name over fields of source (all its fields when empty).
QTableView* MakeDBGrid(QWidget* parent, const QString& name, ReadingDataSource& source, const QStringList& fields = {});

}  // namespace zelvara
