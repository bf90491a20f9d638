// The small dialog behind 「出生時刻・出生地…」 on the data page: the clock time
// of birth (HH:MM) and the birthplace, from the bundled list or as a longitude
// in degrees, stored for the current person in the register's companion table;
// 「時刻を消す」 removes the exact time. A refused entry is explained and nothing
// is stored; a register that cannot be written is named and nothing can be
// stored.
#pragma once

#include "birth_time_table.h"
#include "birthplaces.h"
#include "context.h"

#include <QDialog>

#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zelvara {

class BirthTimeDialog : public QDialog {
    Q_OBJECT
public:
    // table: the companion table (nullptr when it cannot be opened); person:
    // the register's row; cannotStore: why nothing can be stored now (a
    // read-only register, a person not stored yet), empty when it can. ask
    // answers the question about a longitude outside Japan.
    BirthTimeDialog(BirthTimeTable* table, qint64 person, const QString& cannotStore,
                    std::vector<Birthplace> places, MessageSink& sink, std::function<bool(const QString&)> ask,
                    QWidget* parent = nullptr);

    // 「保存」: checks the entry and stores it; true (and the dialog accepted)
    // when it was stored.
    bool Save();
    // 「時刻を消す」: removes the person's exact time; true when removed.
    bool Clear();

private:
    void Show(const QString& text) const;
    void ShowEntry(const BirthTimeEntry& entry);
    void PlaceChosen(int index);

    BirthTimeTable* table_;
    qint64 person_;
    std::vector<Birthplace> places_;
    MessageSink& sink_;
    std::function<bool(const QString&)> ask_;

    QLineEdit* timeedit = nullptr;
    QComboBox* placebox = nullptr;  // item 0: a longitude typed in; then the list
    QLineEdit* longitudeedit = nullptr;
    QLabel* statuslbl = nullptr;
    QPushButton* savebtn = nullptr;
    QPushButton* clearbtn = nullptr;
};

}  // namespace zelvara
