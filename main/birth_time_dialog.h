// The small dialog behind 「出生時刻・出生地…」 on the data page: the clock time
// of birth (HH:MM) and the birthplace — from the bundled list of Japan, a city
// of the world found by its Japanese or Latin name, or a longitude in degrees
// with a time zone — and the person's own time correction, stored for the current person in the register's companion table;
// 「時刻を消す」 removes the exact time. A refused entry is explained and nothing
// is stored; a register that cannot be written is named and nothing can be
// stored.
#pragma once

#include "engine/birthplaces.h"
#include "engine/context.h"
#include "engine/gazetteer.h"
#include "register/birth_time_table.h"

#include <QDialog>

#include <functional>
#include <optional>
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
    BirthTimeDialog(BirthTimeTable* table, qint64 person, const QString& cannotStore, std::vector<Birthplace> places,
                    std::vector<GazetteerPlace> world, MessageSink& sink, std::function<bool(const QString&)> ask,
                    QWidget* parent = nullptr);

    // 「保存」: checks the entry and stores it; true (and the dialog accepted)
    // when it was stored.
    bool Save();
    // 「時刻を消す」: removes the person's exact time; true when removed.
    bool Clear();
    // 「ヘルプ」 and F1 call show, with the dialog as the help window's parent.
    void SetHelp(std::function<void(QWidget* parent)> show);

private:
    void Show(const QString& text) const;
    void ShowEntry(const BirthTimeEntry& entry);
    void PlaceChosen(int index);
    void SearchWorld(const QString& typed);
    void WorldPlaceChosen(int index);

    BirthTimeTable* table_;
    qint64 person_;
    std::vector<Birthplace> places_;
    std::vector<GazetteerPlace> world_;
    std::vector<PlaceChoice> found_;         // the world places worldbox lists, after its item 0
    std::optional<PlaceChoice> worldPlace_;  // the world place chosen, if any
    MessageSink& sink_;
    std::function<bool(const QString&)> ask_;

    QLineEdit* timeedit = nullptr;
    QComboBox* placebox = nullptr;  // item 0: a longitude typed in; then the list
    QLineEdit* worldsearch = nullptr;
    QComboBox* worldbox = nullptr;  // item 0: none; then the places found
    QLineEdit* longitudeedit = nullptr;
    QLineEdit* zoneedit = nullptr;
    QComboBox* correctionbox = nullptr;  // the settings' choice, none, mean, true
    QLabel* statuslbl = nullptr;
    QPushButton* savebtn = nullptr;
    QPushButton* clearbtn = nullptr;
};

}  // namespace zelvara
