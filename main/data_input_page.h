// The page "データ入力": the current person's birth data bound to the register,
// the twelve palace fields, navigation, find, extraction, the person grid and
// the exact birth time (the 「出生時刻・出生地…」 button, its dialog and the
// hour box's mark 「時刻から」) and the client's convention profile (the combo
// 「流派」, shown once the settings have a profile besides 標準). The chart
// button is the main window's to wire.
#pragma once

#include "common/data_folders.h"
#include "engine/chart_request.h"
#include "engine/solar_time.h"
#include "session/person_store.h"

#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace zelvara {

class BirthTimeDialog;
class EngineContext;
class MessageSink;
class PersonBirthTime;
class PersonGridModel;
class PersonTable;

class DataInputPage : public QWidget {
    Q_OBJECT
public:
    // ask answers the page's yes/no questions (the main window's).
    DataInputPage(PersonTable& persons, PersonBirthTime& birthTimes, MessageSink& sink,
                  std::function<bool(const QString&)> ask, QWidget* parent = nullptr);

    // Where the birthplace lists, the help and zelv.ini (the time correction) are.
    void SetPlaces(const DataFolders& folders, const QString& settingsPath);

    QPushButton* ChartButton() const { return btnOk; }
    // The birth data as typed in the entry boxes.
    BirthInput ReadBirthInput() const;
    QString Name() const;
    QString HourText() const;
    // After a cast: the converted year, the hour the chart was cast for and the
    // main stars go into the boxes. With an exact time the hour box shows the
    // corrected period without writing it into the record.
    void ShowCastFields(const PersonChartFields& fields, int hourIndex, bool exact);

    // The hour box and its mark from the current person's exact time.
    void ShowBirthTimeMark();
    // The corrected moment of the current person's exact time; false when a
    // time is stored but the entry's date was refused (its message shown).
    bool ExactBirthOf(EngineContext& ctx, const BirthInput& in, std::optional<CorrectedBirth>& exact);
    // The correction of a time for which the person chose none (the cast's
    // profile's, else the settings'); unset, the settings' [time] correction.
    void SetTimeCorrection(std::function<TimeCorrection()> correction) { correction_ = std::move(correction); }
    // The name of the convention profile chosen for the current person, as
    // stored beside the record; empty when none is chosen (the settings'
    // default), the person is not stored yet or it cannot be read.
    QString CurrentProfileName() const;
    // The 流派 combo from the settings' profiles and the current person's
    // choice; hidden while the settings have none besides 標準.
    void RefreshProfiles();

    // Tests drive the exact-time dialog through this instead of its exec().
    void SetBirthTimeDialogHook(std::function<void(BirthTimeDialog&)> hook) { birthTimeDialogHook_ = std::move(hook); }

signals:
    // The 個人データ menu: 「この人物のデータを書き出す」, 「この人物のデータを完全に削除」.
    void exportPersonRequested();
    void erasePersonRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The settings may have changed while another window was in front.
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildBirthTimeControls(QHBoxLayout* row);
    void BindPersonControls();
    void LoadBoundControls();
    void EditField(int field, const QString& text);
    void SyncGridSelection();
    void ShowRegisterStatus();
    void cyusyutubtnClick();
    void OpenBirthTimeDialog();
    void BuildProfileControls(QHBoxLayout* row);
    void ChooseProfile(int index);
    TimeCorrection Correction() const;
    void Message(const QString& text);

    PersonTable& persons_;
    PersonBirthTime& birthTimes_;
    MessageSink& sink_;
    std::function<bool(const QString&)> ask_;
    DataFolders folders_;
    QString settingsPath_;
    std::function<void(BirthTimeDialog&)> birthTimeDialogHook_;
    std::function<TimeCorrection()> correction_;
    PersonGridModel* gridModel_ = nullptr;
    bool loadingControls_ = false;
    bool editingFromControl_ = false;

    QLineEdit* inName = nullptr;
    QLineEdit* inYy = nullptr;
    QComboBox* inMm = nullptr;
    QComboBox* inDd = nullptr;
    QComboBox* inTime = nullptr;
    QLabel* birthTimeMark = nullptr;      // 「時刻から」: the hour box shows the exact time's period
    QPushButton* birthTimeBtn = nullptr;  // 「出生時刻・出生地…」
    QLabel* profileLabel = nullptr;       // 「流派」
    QComboBox* profileBox = nullptr;      // 「（既定）」 and the settings' profiles
    QComboBox* ChkSex = nullptr;
    std::array<QLineEdit*, 13> palaceEdits_{};  // by palace 1..12
    QPushButton* btnOk = nullptr;
    QLineEdit* Edit1 = nullptr;
    QComboBox* kyubox = nullptr;
    QComboBox* hosibox = nullptr;
    QTableView* DBGrid1 = nullptr;
    QLabel* registerStatus = nullptr;  // shown only while the register is closed or read-only
};

}  // namespace zelvara
