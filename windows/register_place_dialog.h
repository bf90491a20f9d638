// 「名簿の場所」: whether the person register is the file on this computer or
// a register on a PostgreSQL server, and how to reach that server. The dialog
// only edits RegisterServerSettings; the settings window stores them. A
// password is never kept: 接続を試す asks for one only when the server wants
// it, and forgets it when the dialog closes.
#pragma once

#include "store/register_setting.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace zelvara {

class RegisterPlaceDialog : public QDialog {
    Q_OBJECT
public:
    explicit RegisterPlaceDialog(const RegisterServerSettings& settings, QWidget* parent = nullptr);

    // One try at opening the server: connected, or the driver's reason.
    struct TrialOutcome {
        bool connected = false;
        QString error;
    };
    using Trial = std::function<TrialOutcome(const PgConnection& connection)>;
    // Asks for the server's password; nullopt when the user cancels.
    using PasswordPrompt = std::function<std::optional<QString>(const QString& prompt)>;
    // Unset, 接続を試す opens a QPSQL connection of its own (OpenTrialConnection)
    // and asks with a password input box.
    void SetTrial(Trial trial) { trial_ = std::move(trial); }
    void SetPasswordPrompt(PasswordPrompt prompt) { askPassword_ = std::move(prompt); }

    // What the dialog shows, as zelv.ini would keep it.
    RegisterServerSettings Settings() const;

    // Refuses an entry it cannot use, with the reason beside the field.
    void accept() override;
    // 接続を試す: the outcome is shown in the dialog (triallbl).
    void TryConnection();

    // The real try: a QPSQL connection under its own name, closed and removed
    // again.
    static TrialOutcome OpenTrialConnection(const PgConnection& connection);

private:
    // Checks the server fields (when サーバー is chosen); false with the
    // messages shown beside the fields that are wrong.
    bool CheckFields();
    void ShowServerChoice();

    Trial trial_;
    PasswordPrompt askPassword_;

    QRadioButton* localradio = nullptr;
    QRadioButton* serverradio = nullptr;
    QWidget* serverbox = nullptr;
    QLineEdit* hostedit = nullptr;
    QLineEdit* portedit = nullptr;
    QLineEdit* databaseedit = nullptr;
    QLineEdit* useredit = nullptr;
    QComboBox* sslbox = nullptr;
    QLabel* hosterr = nullptr;
    QLabel* porterr = nullptr;
    QLabel* databaseerr = nullptr;
    QPushButton* trialbtn = nullptr;
    QLabel* triallbl = nullptr;
};

}  // namespace zelvara
