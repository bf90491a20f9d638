// Across clients: 「予定」, the appointments from today for the coming days,
// and 「記録の検索」, the entries whose theme, question or notes hold the words,
// with the passage. Opening a row (double-click or 開く) hands its client and
// entry to the opener, which goes to the client.
#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class QVBoxLayout;

namespace zelvara {

class ConsultationListingModel;
class PersonTable;

using EntryOpener = std::function<void(qint64 client, qint64 entryId)>;

// The list and its 開く/閉じる buttons, shared by both windows.
class ConsultationListWindow : public QDialog {
    Q_OBJECT
public:
    QTableView* List() const { return list_; }
    ConsultationListingModel* Model() const { return model_; }
    // What the window says above the list: a count, or why there is none.
    QString Status() const;
    // Opens the entry of the current row (開く).
    void OpenCurrent();

protected:
    ConsultationListWindow(PersonTable& persons, EntryOpener opener, int kind, QWidget* parent);
    void AddList(QVBoxLayout* layout);
    void SetStatus(const QString& text);

    PersonTable& persons_;
    EntryOpener opener_;
    ConsultationListingModel* model_ = nullptr;
    QTableView* list_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* open_ = nullptr;
};

class TAgendaFrm : public ConsultationListWindow {
    Q_OBJECT
public:
    TAgendaFrm(PersonTable& persons, EntryOpener opener, QWidget* parent = nullptr);
    void SetDays(int days);
    // Reads the appointments again (on every showing and change of days).
    void Refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QSpinBox* days_ = nullptr;
};

class TNotesSearchFrm : public ConsultationListWindow {
    Q_OBJECT
public:
    static constexpr int kLimit = 200;
    TNotesSearchFrm(PersonTable& persons, EntryOpener opener, QWidget* parent = nullptr);
    // Searches for the words typed (検索).
    void Search(const QString& words);

private:
    QLineEdit* query_ = nullptr;
};

}  // namespace zelvara
