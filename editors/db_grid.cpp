#include "editors/db_grid.h"

#include "editors/reading_data_source.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

namespace zelvara {

ReadingGridModel::ReadingGridModel(ReadingDataSource& source, const QStringList& fields, QObject* parent)
    : QAbstractTableModel(parent),
      source_(source),
      fields_(fields.isEmpty() ? source.Fields() : fields),
      allFields_(fields.isEmpty()) {
    connect(&source_, &ReadingDataSource::rowsReset, this, [this] {
        beginResetModel();
        if (allFields_) fields_ = source_.Fields();
        endResetModel();
    });
    connect(&source_, &ReadingDataSource::valueChanged, this, [this](int row, const QString& field) {
        const int column = int(fields_.indexOf(field));
        if (column >= 0) emit dataChanged(index(row, column), index(row, column));
    });
    connect(&source_, &ReadingDataSource::recordMoved, this, [this] {
        const int row = source_.CurrentRow();
        if (row >= 0 && row < rowCount() && columnCount() > 0)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

int ReadingGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : source_.RowCount(); }

int ReadingGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(fields_.size());
}

QVariant ReadingGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)) return {};
    const QString& field = fields_[index.column()];
    const QString value = source_.Value(index.row(), field);
    if (role == Qt::DisplayRole && source_.IsMemo(field))
        return value.section(QLatin1Char('\n'), 0, 0).trimmed();  // a memo shows its first line
    if (role == Qt::ToolTipRole) return source_.IsMemo(field) ? value : QVariant();
    return value;
}

QVariant ReadingGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < fields_.size() ? QVariant(fields_[section]) : QVariant();
    return section == source_.CurrentRow() ? QVariant(QStringLiteral("▶")) : QVariant(QString());
}

Qt::ItemFlags ReadingGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && !source_.IsMemo(fields_[index.column()]))
        f |= Qt::ItemIsEditable;  // memos are edited in their memo controls
    return f;
}

bool ReadingGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    return source_.SetValueAt(index.row(), fields_[index.column()], value.toString());
}

QTableView* MakeDBGrid(QWidget* parent, const QString& name, ReadingDataSource& source, const QStringList& fields) {
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    auto* model = new ReadingGridModel(source, fields, view);
    view->setModel(model);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->verticalHeader()->setDefaultSectionSize(22);
    view->verticalHeader()->setMinimumWidth(16);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);

    // The grid follows the current record …
    auto follow = [view, model, &source] {
        const int row = source.CurrentRow();
        if (row < 0 || model->columnCount() == 0) return;
        const int column = qMax(0, view->currentIndex().column());
        if (view->currentIndex().row() != row) {
            const QSignalBlocker still(view->selectionModel());
            view->setCurrentIndex(model->index(row, column));
            view->viewport()->update();
        }
        emit model->headerDataChanged(Qt::Vertical, 0, model->rowCount() - 1);
    };
    QObject::connect(&source, &ReadingDataSource::recordMoved, view, follow);
    QObject::connect(model, &QAbstractItemModel::modelReset, view, follow);
    // … and picking a row moves it.
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, view,
                     [&source](const QModelIndex& now) {
                         if (now.isValid()) source.MoveTo(now.row());
                     });
    follow();
    return view;
}

}  // namespace zelvara
