#include "editors/record_navigator.h"

#include "editors/reading_table.h"

#include <QDataWidgetMapper>
#include <QPlainTextEdit>
#include <QStyledItemDelegate>

namespace zelvara {
namespace {

// The memo shows line breaks as "\n" whatever the file holds.
bool SameText(const QString& shown, const QString& stored) {
    return shown == QString(stored).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

// Loads a memo only when its text differs, so that the cursor stays where it
// is while the user types, and leaves every key to the memo.
class MemoDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* memo = qobject_cast<QPlainTextEdit*>(editor);
        const QString value = index.data(Qt::EditRole).toString();
        if (!memo || SameText(memo->toPlainText(), value)) return;
        const QSignalBlocker loading(memo);
        memo->setPlainText(value);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        auto* memo = qobject_cast<QPlainTextEdit*>(editor);
        if (memo && !SameText(memo->toPlainText(), index.data(Qt::EditRole).toString()))
            model->setData(index, memo->toPlainText());
    }

protected:
    bool eventFilter(QObject*, QEvent*) override { return false; }
};

}  // namespace

RecordNavigator::RecordNavigator(ReadingTable& table, QObject* parent)
    : NaviTarget(parent), table_(table), mapper_(new QDataWidgetMapper(this)) {
    mapper_->setSubmitPolicy(QDataWidgetMapper::ManualSubmit);
    mapper_->setItemDelegate(new MemoDelegate(mapper_));
    mapper_->setModel(&table_);
    connect(&table_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { keptRow_ = CurrentRow(); });
    connect(&table_, &QAbstractItemModel::modelReset, this, [this] {
        editRequested_ = false;
        insertedRow_ = -1;
        Rebind();
        const int n = table_.RecordCount();
        Show(n > 0 ? qBound(0, keptRow_, n - 1) : -1);
    });
    connect(&table_, &QAbstractItemModel::layoutChanged, this, [this] { Show(CurrentRow()); });
    connect(&table_, &QAbstractItemModel::dataChanged, this, &NaviTarget::stateChanged);
    Show(table_.RecordCount() > 0 ? 0 : -1);
}

void RecordNavigator::Bind(QPlainTextEdit* memo, const QString& field) {
    memos_ << qMakePair(memo, field);
    if (table_.HasField(field)) {
        mapper_->addMapping(memo, table_.ColumnOf(field));
        mapper_->itemDelegate()->setEditorData(memo, table_.index(CurrentRow(), table_.ColumnOf(field)));
    }
    memo->setReadOnly(CurrentRow() < 0 || !table_.HasField(field));
    connect(memo, &QPlainTextEdit::textChanged, this, [this, memo] {
        const int section = mapper_->mappedSection(memo);
        if (section >= 0 && CurrentRow() >= 0)
            mapper_->itemDelegate()->setModelData(memo, &table_, table_.index(CurrentRow(), section));
    });
}

void RecordNavigator::Rebind() {
    mapper_->clearMapping();
    for (const auto& [memo, field] : memos_)
        if (table_.HasField(field)) mapper_->addMapping(memo, table_.ColumnOf(field));
}

int RecordNavigator::CurrentRow() const {
    const int row = mapper_->currentIndex();
    return row >= 0 && row < table_.RecordCount() ? row : -1;
}

QString RecordNavigator::CurrentValue(const QString& field) const {
    return table_.data(table_.index(CurrentRow(), table_.ColumnOf(field)), Qt::EditRole).toString();
}

bool RecordNavigator::IsEditing() const { return table_.IsOpen() && (table_.IsModified() || editRequested_); }

void RecordNavigator::Show(int row) {
    if (row >= 0 && row < table_.RecordCount()) {
        mapper_->setCurrentIndex(row);
    } else {
        for (const auto& [memo, field] : memos_) {
            const QSignalBlocker quiet(memo);
            memo->clear();
        }
    }
    for (const auto& [memo, field] : memos_) memo->setReadOnly(CurrentRow() < 0 || mapper_->mappedSection(memo) < 0);
    emit moved(CurrentRow());
    emit stateChanged();
}

bool RecordNavigator::MoveTo(int row) {
    if (row < 0 || row >= table_.RecordCount()) return false;
    const int from = CurrentRow();
    if (row == from) return true;
    if (insertedRow_ == from && !table_.IsModified()) {
        DiscardInserted();  // a new record left as it was added is not kept
        if (row >= table_.RecordCount()) return false;
    } else if (table_.IsModified() && !Post()) {
        emit moved(from);  // the grids go back to the record still being edited
        return false;
    }
    editRequested_ = false;
    insertedRow_ = -1;
    Show(row);
    return true;
}

bool RecordNavigator::Post() {
    if (CurrentRow() < 0) return false;
    if (!mapper_->submit()) {
        editRequested_ = true;
        emit stateChanged();
        return false;
    }
    editRequested_ = false;
    insertedRow_ = -1;
    emit stateChanged();
    return true;
}

bool RecordNavigator::SavePending() { return !table_.IsModified() || Post(); }

void RecordNavigator::Edit() {
    if (CurrentRow() < 0) {
        Insert();  // an empty table is edited in a new record
        return;
    }
    editRequested_ = true;
    emit stateChanged();
}

void RecordNavigator::Insert() {
    if (!table_.IsOpen() || (table_.IsModified() && !Post())) return;
    if (insertedRow_ >= 0 && insertedRow_ == CurrentRow()) return;  // the new record is already there, empty
    if (!table_.insertRow(table_.RecordCount())) return;
    Show(table_.RecordCount() - 1);
    insertedRow_ = CurrentRow();
    editRequested_ = true;
    emit stateChanged();
}

void RecordNavigator::Delete() {
    const int row = CurrentRow();
    if (row < 0) return;
    table_.revert();
    if (!table_.removeRow(row)) return;
    editRequested_ = false;
    insertedRow_ = -1;
    Show(table_.RecordCount() > 0 ? qMin(row, table_.RecordCount() - 1) : -1);
}

void RecordNavigator::DiscardInserted() {
    const int row = insertedRow_;
    insertedRow_ = -1;
    if (row >= 0 && table_.removeRow(row))
        Show(table_.RecordCount() > 0 ? qBound(0, row - 1, table_.RecordCount() - 1) : -1);
}

void RecordNavigator::Cancel() {
    const bool inserted = insertedRow_ >= 0 && insertedRow_ == CurrentRow();
    table_.revert();
    editRequested_ = false;
    if (inserted) DiscardInserted();
    emit stateChanged();
}

void RecordNavigator::Refresh() {
    if (table_.IsModified() && !Post()) return;
    table_.Select();
}

NaviTarget::State RecordNavigator::NaviState() const {
    const int n = table_.RecordCount();
    const int row = CurrentRow();
    State s;
    s.active = table_.IsOpen();
    s.bof = n == 0 || row <= 0;
    s.eof = n == 0 || row >= n - 1;
    s.empty = n == 0;
    s.canModify = s.active;
    s.editing = IsEditing();
    return s;
}

void RecordNavigator::Act(TNavigateBtn kind) {
    switch (kind) {
        case nbFirst: MoveTo(0); break;
        case nbPrior: MoveTo(CurrentRow() - 1); break;
        case nbNext: MoveTo(CurrentRow() + 1); break;
        case nbLast: MoveTo(table_.RecordCount() - 1); break;
        case nbInsert: Insert(); break;
        case nbDelete: Delete(); break;
        case nbEdit: Edit(); break;
        case nbPost: Post(); break;
        case nbCancel: Cancel(); break;
        case nbRefresh: Refresh(); break;
    }
}

}  // namespace zelvara
