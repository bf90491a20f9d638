// The page "鑑定記録": the register's current client's consultation entries,
// newest first, and an editor for one entry (新規, 保存, 削除). 「この命盤で記録」
// starts a new entry from the chart page's current state (what was read and
// the birth as cast); 「この記録の命盤を開く」 casts an entry's chart again as
// it was read; 「この記録を印刷」 and 「全部印刷」 print through the print frame.
// The main window supplies those three through Actions. Edits not yet saved
// are asked about once when the client or the page changes; on a register
// that cannot be written the writing buttons are disabled with the reason.
#pragma once

#include "register/consultation_record.h"

#include <QDate>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace zelvara {

class ConsultationListModel;
class ConsultationStorage;
class MessageSink;
class PersonTable;

// What an entry keeps of the chart it was read from.
struct ChartReadTexts {
    QString profile, reading, birthTime;
};

class ConsultationPage : public QWidget {
    Q_OBJECT
public:
    struct Actions {
        // The chart page's chart as it stands for the current client; nullopt
        // after saying why there is none to take.
        std::function<std::optional<ChartReadTexts>()> capture;
        // Casts and shows the entry's chart as it was read.
        std::function<void(const ConsultationEntry&)> reopen;
        // Prints the entries (one, or all of the client's) of the client named.
        std::function<void(const std::vector<ConsultationEntry>&)> print;
    };

    // ask answers the page's yes/no questions (the main window's).
    ConsultationPage(PersonTable& persons, MessageSink& sink, std::function<bool(const QString&)> ask,
                     QWidget* parent = nullptr);
    ~ConsultationPage() override;

    void SetActions(Actions actions) { actions_ = std::move(actions); }
    // The date new entries and the daily copy go by (default: the system's).
    void SetToday(std::optional<QDate> today) { today_ = today; }

    // Selects the entry of the current client in the list and shows it in the
    // editor (the register is already on its client); false when it is not
    // one of the current client's entries.
    bool SelectEntry(qint64 entryId);
    // The page is being left: edits not yet saved are asked about once (saved
    // or dropped).
    void Leave();
    // Whether the editor holds edits not yet saved.
    bool IsEdited() const { return edited_; }
    // The client's entries as listed; the entry in the editor.
    const std::vector<ConsultationEntry>& Listed() const;
    const ConsultationEntry& Edited() const { return editing_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildList();
    QWidget* BuildEditor();
    // The entries of the register's current client into the list; the
    // editor keeps what it holds when the client is the same.
    void FollowClient();
    void LoadList();
    // The themes used so far into the theme box (on its first use after the
    // record was opened).
    void LoadThemes();
    ConsultationStorage* Book(QString* why);
    void ListRowChosen();
    void ShowInEditor(const ConsultationEntry& entry);
    // The editor read into an entry; nullopt after saying what is wrong.
    std::optional<ConsultationEntry> ReadEditor();
    // Unsaved edits: asked once whether to save them. False when the user
    // chose to save and the save failed (the edits stay).
    bool SettleEdits(const QString& where);
    bool Save();
    void NewEntry(const ChartReadTexts& read = {});
    void DeleteEntry();
    void Capture();
    void Reopen();
    void PrintOne();
    void PrintAll();
    void MarkEdited();
    // The editor's fields take typing only while the register can be written.
    void ShowWritable();
    void ShowStatus(const QString& text);
    QString DailyCopy();
    QDate Today() const;
    qint64 CurrentClient() const;
    QString ClientName(qint64 client) const;
    void Message(const QString& text);

    PersonTable& persons_;
    MessageSink& sink_;
    std::function<bool(const QString&)> ask_;
    Actions actions_;
    std::optional<QDate> today_;
    std::unique_ptr<ConsultationStorage> book_;
    QString bookKey_;
    ConsultationListModel* model_ = nullptr;
    qint64 client_ = -2;         // the client listed; −2 before the first listing
    ConsultationEntry editing_;  // as read (id ≥ 0), or a new entry with its captured fields
    bool edited_ = false;
    bool loading_ = false;
    bool listStale_ = true;
    bool themesStale_ = true;

    QTableView* list_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* editorTitle_ = nullptr;
    QDateEdit* date_ = nullptr;
    QLineEdit* time_ = nullptr;
    QComboBox* theme_ = nullptr;
    QPlainTextEdit* question_ = nullptr;
    QPlainTextEdit* notes_ = nullptr;
    QLineEdit* fee_ = nullptr;
    QCheckBox* paid_ = nullptr;
    QLineEdit* nextDate_ = nullptr;
    QLineEdit* nextTime_ = nullptr;
    QLabel* readAs_ = nullptr;
    QPushButton* new_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* capture_ = nullptr;
    QPushButton* reopen_ = nullptr;
    QPushButton* printOne_ = nullptr;
    QPushButton* printAll_ = nullptr;
};

}  // namespace zelvara
