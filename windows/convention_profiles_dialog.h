// 「流派の設定」: the named convention profiles of zelv.ini [profiles] — the
// list (標準 first, shown with its switches but not editable), 新規, 複製,
// 名前の変更, 削除, and each switch of the profile chosen as a box of the
// Japanese value texts, written by 保存. Every change is one write of the
// file; a refused one (a bad or taken name, a file that cannot be written)
// says why and leaves the file as it was.
#pragma once

#include "engine/conventions.h"
#include "store/settings_file.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace zelvara {

class MessageSink;

class ConventionProfilesDialog : public QDialog {
    Q_OBJECT
public:
    ConventionProfilesDialog(const QString& settingsPath, MessageSink& sink, QWidget* parent = nullptr);

    // Asks a yes/no question (yes = true); a message box unless set.
    using Question = std::function<bool(const QString& text)>;
    void SetQuestion(Question ask) { ask_ = std::move(ask); }
    // Asks for a profile's name (label, the name offered); nullopt when
    // cancelled. An input box unless set.
    using NameQuestion = std::function<std::optional<QString>(const QString& label, const QString& offered)>;
    void SetNameQuestion(NameQuestion ask) { askName_ = std::move(ask); }

    // The profile shown; selects a name of the list (false when it has none).
    QString CurrentName() const;
    bool SelectProfile(const QString& name);

    // The buttons' work.
    void NewProfile();
    void CopyProfile();
    void RenameProfile();
    void DeleteProfile();
    // Writes the switches shown into the profile shown; false (said why) when refused.
    bool SaveProfile();

protected:
    void done(int result) override;

private:
    void Reload(const QString& select);
    void ShowProfile();
    // The switches as the boxes show them.
    Conventions ShownConventions() const;
    // Unsaved edits of the profile shown: asked whether to save them; false
    // when they stay (the user wants to keep editing, or the save was refused).
    bool SettleEdits();
    // A name asked and checked as a new profile's; nullopt when cancelled or refused.
    std::optional<QString> AskNewName(const QString& label, const QString& offered);
    bool Ask(const QString& text);
    void Say(const QString& text);

    SettingsFile settings_;
    MessageSink& sink_;
    Question ask_;
    NameQuestion askName_;
    QString shown_;        // the profile the boxes show
    bool edited_ = false;  // the boxes differ from the file
    bool loading_ = false;

    QListWidget* profileList = nullptr;
    QPushButton* newbtn = nullptr;
    QPushButton* copybtn = nullptr;
    QPushButton* renamebtn = nullptr;
    QPushButton* deletebtn = nullptr;
    std::vector<QComboBox*> switchBoxes_;  // in the order of ConventionSwitches()
    QLabel* standardNote = nullptr;        // 「標準は変更できません」
    QPushButton* savebtn = nullptr;
};

}  // namespace zelvara
