// The current record of an editor window over one reading-text table: a
// QDataWidgetMapper over the table's model shows that record in the bound
// memos, and the navigator bar's ten actions move it, add, remove, save and
// drop edits. Typing into a memo edits the model at once, so that the edits
// are the table's (saved when the program ends) even before "更新登録".
// Moving to another record first saves the one it leaves; when that is
// refused the move does not happen and the edits stay.
#pragma once

#include "editors/cap_navi.h"

#include <QList>
#include <QString>

class QDataWidgetMapper;
class QPlainTextEdit;

namespace zelvara {

class ReadingTable;

class RecordNavigator : public NaviTarget {
    Q_OBJECT
public:
    RecordNavigator(ReadingTable& table, QObject* parent = nullptr);

    ReadingTable& Table() const { return table_; }
    QDataWidgetMapper* Mapper() const { return mapper_; }
    // Binds memo to field: it shows the current record's value and typing
    // changes the record. A field the file lacks leaves the memo read-only.
    void Bind(QPlainTextEdit* memo, const QString& field);

    int CurrentRow() const;  // −1 when there is no record
    QString CurrentValue(const QString& field) const;
    bool IsEditing() const;

    // Saves the current record's edits first; false (and the record kept in
    // edit mode) when they are refused.
    bool MoveTo(int row);
    // Writes the edits; false when refused (reported), with the edits kept.
    // False too when there is no record.
    bool Post();
    // Post() when the table holds edits; true when it holds none.
    bool SavePending();
    void Edit();
    void Insert();
    void Delete();
    void Cancel();
    void Refresh();

    State NaviState() const override;
    void Act(TNavigateBtn kind) override;

signals:
    // The record shown is row (also after a move that was refused): grids follow.
    void moved(int row);

private:
    void Rebind();
    void Show(int row);
    void DiscardInserted();

    ReadingTable& table_;
    QDataWidgetMapper* mapper_;
    QList<QPair<QPlainTextEdit*, QString>> memos_;
    int keptRow_ = -1;  // the row to stand on again after the table is read anew
    bool editRequested_ = false;
    int insertedRow_ = -1;  // a record Insert added that is not saved yet
};

}  // namespace zelvara
