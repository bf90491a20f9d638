// The settings window: the cover title and telephone number that every
// printout carries in its footer, the start-up sound switch, the correction
// of exact birth times, the printer setup, the place of the person register,
// and the doors to the three reading-text editors. Made once at start-up;
// opening it only shows it.
#pragma once

#include "common/data_folders.h"
#include "store/settings_file.h"

#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;

namespace zelvara {

class MessageSink;

class TCunstomFrm : public QWidget {
    Q_OBJECT
public:
    // mainCaption: the main window's caption, shown in ttlname. settingsPath
    // empty = the per-user zelv.ini.
    TCunstomFrm(MessageSink& sink, const QString& mainCaption, const QString& settingsPath = {},
                QWidget* parent = nullptr);
    ~TCunstomFrm() override;

    // The editor windows the three buttons show; they may arrive later.
    void SetEditorWindows(QWidget* databaseEditor, QWidget* luckEditor, QWidget* marriageEditor);
    // What "削除したデータ…" opens: the register's deleted records. The button
    // shows once a door is given.
    void SetDeletedRecordsDoor(std::function<void()> open);
    // What "CSVに書き出す…" and "CSVから読み込む…" do with the register; the
    // buttons show once the doors are given.
    void SetCsvDoors(std::function<void()> exportCsv, std::function<void()> importCsv);
    // What the two choices of "Paradox から取り込み…" do: the register's
    // records, the reading texts and legends. The button shows once given.
    void SetParadoxDoors(std::function<void()> importRegister, std::function<void()> importTexts);
    // What follows a new choice in "名簿の場所…" (stored in zelv.ini): the
    // main program reopens the register. The button and the line with the
    // current choice show once the door is given. overriddenBy, when not
    // empty, says what chose the register instead of zelv.ini (the command
    // line or the environment); the line then shows that.
    void SetRegisterPlaceDoor(std::function<void()> changed, const QString& overriddenBy = {});
    // Why the register takes no writes (read-only or not open), empty while
    // it can be written: "CSVから読み込む…" and Paradox's 名簿 choice are
    // disabled, with the reason as their tooltip.
    void SetRegisterWriteRefusal(const QString& why);
    // The printer the prints use; "プリンタ設定" sets it up.
    void SetPrinter(QPrinter* printer) { printer_ = printer; }

    // Asks a yes/no question (yes = true). Closing uses it when the settings
    // cannot be written: "close without saving?". Unset, a message box asks.
    using Question = std::function<bool(const QString& text)>;
    void SetQuestion(Question ask) { ask_ = std::move(ask); }

    // Reads [owner] title and tel into the memory copy.
    void LoadOwnerSettings();
    const OwnerSettings& Owner() const { return owner_; }
    const QString& SettingsPath() const { return settings_.Path(); }
    // Shows the layout and the folders in use under the buttons.
    void ShowDataFolders(const DataFolders& folders);

public slots:
    void BitBtn1Click();
    void printbtnClick();
    // Opens 「名簿の場所」 on [register] of zelv.ini and stores a changed choice.
    void registerplacebtnClick();
    // Opens 「流派の設定」; the default's box follows what it changed.
    void profilesbtnClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Writes title, tel and the sound switch in one go; false, with the
    // reason, when the file cannot take them (it is then left as it was).
    bool Store(QString* why);
    // The settings file's word for the chosen time correction.
    QString Correction() const;
    bool Ask(const QString& text);
    // 「名簿：…」 under the button, from zelv.ini.
    void ShowRegisterPlace();
    // 「既定の流派」's box: the profiles of zelv.ini, the default chosen.
    void ShowProfiles();
    // A choice in that box, written at once.
    void DefaultProfileChosen(const QString& name);

    MessageSink& sink_;
    SettingsFile settings_;
    OwnerSettings owner_;
    Question ask_;
    QPrinter* printer_ = nullptr;
    std::unique_ptr<QPrinter> ownPrinter_;
    QWidget* editors_[3] = {nullptr, nullptr, nullptr};

    QLabel* ttlname = nullptr;
    QLineEdit* titlebox = nullptr;
    QLineEdit* logobox = nullptr;  // the 鑑定書 cover's logo picture; empty: none
    QLineEdit* telbox = nullptr;
    QPushButton* databasebtn = nullptr;
    QPushButton* kounbtn = nullptr;
    QPushButton* kekkonbtn = nullptr;
    QPushButton* printbtn = nullptr;
    QPushButton* deletedbtn = nullptr;
    std::function<void()> openDeleted_;
    QPushButton* csvoutbtn = nullptr;
    QPushButton* csvinbtn = nullptr;
    std::function<void()> exportCsv_;
    std::function<void()> importCsv_;
    QPushButton* paradoxbtn = nullptr;
    std::function<void()> importParadoxRegister_;
    QAction* paradoxRegisterAction_ = nullptr;
    std::function<void()> importParadoxTexts_;
    QPushButton* registerplacebtn = nullptr;
    QLabel* registerlbl = nullptr;
    QString registerOverriddenBy_;
    std::function<void()> registerPlaceChanged_;
    QCheckBox* soundchk = nullptr;
    QComboBox* correctionbox = nullptr;      // 時刻の補正
    QCheckBox* boundarychk = nullptr;        // 境界注意 on the chart page
    QComboBox* defaultprofilebox = nullptr;  // 既定の流派
    QPushButton* profilesbtn = nullptr;      // 流派の設定…
    QPushButton* BitBtn1 = nullptr;
    QLabel* folderslbl = nullptr;
};

}  // namespace zelvara
