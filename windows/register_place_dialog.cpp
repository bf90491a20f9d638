#include "windows/register_place_dialog.h"

#include "common/named_object.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStringList>
#include <QVBoxLayout>

#include <atomic>

namespace zelvara {
namespace {

// libpq's sslmode words, from no TLS to the strictest check.
const struct {
    const char* mode;
    const char* caption;
} kSslModes[] = {
    {"disable", "使わない (disable)"},
    {"allow", "サーバーが求めれば使う (allow)"},
    {"prefer", "使えれば使う (prefer)"},
    {"require", "必ず使う (require)"},
    {"verify-ca", "必ず使い、証明書を確かめる (verify-ca)"},
    {"verify-full", "必ず使い、証明書とホスト名を確かめる (verify-full)"},
};

QLabel* ErrorLabel(const char* name, QWidget* parent) {
    auto* label = Named(new QLabel(parent), name);
    QPalette red = label->palette();
    red.setColor(QPalette::WindowText, QColor(192, 0, 0));
    label->setPalette(red);
    label->setWordWrap(true);
    label->hide();
    return label;
}

// A field with its message underneath, as one row of the form.
QWidget* WithMessage(QWidget* field, QLabel* message, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(field);
    column->addWidget(message);
    return box;
}

void ShowMessage(QLabel* label, const QString& text) {
    label->setText(text);
    label->setVisible(!text.isEmpty());
}

// Empty when host can be used: empty (the server's default socket), a socket
// folder starting with '/', or host names and IP addresses.
QString HostProblem(const QString& host) {
    if (host.isEmpty()) return {};
    if (host.startsWith(QLatin1Char('/'))) {
        static const QRegularExpression control(QStringLiteral("[\\x00-\\x1f]"));
        return host.contains(control) ? QStringLiteral("ソケットのフォルダーに制御文字は使えません") : QString();
    }
    // Several servers to try in turn are written as libpq does: "db1,db2".
    static const QRegularExpression names(QStringLiteral("^[A-Za-z0-9._:%-]+(,[A-Za-z0-9._:%-]+)*$"));
    if (!names.match(host).hasMatch())
        return QStringLiteral(
            "ホスト名か IP アドレス（半角英数字と . - :）、または / で始まるソケットのフォルダーを入力してください");
    return {};
}

QString NextTrialName() {
    static std::atomic<int> next{0};
    return QStringLiteral("register-place-trial-%1").arg(++next);
}

}  // namespace

RegisterPlaceDialog::RegisterPlaceDialog(const RegisterServerSettings& settings, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RegisterPlaceDialog"));
    setWindowTitle(QStringLiteral("名簿の場所"));

    localradio = Named(new QRadioButton(QStringLiteral("このコンピューター"), this), "localradio");
    localradio->setToolTip(QStringLiteral("名簿をこのコンピューターのファイルに置きます"));
    serverradio = Named(new QRadioButton(QStringLiteral("サーバー"), this), "serverradio");
    serverradio->setToolTip(QStringLiteral("複数の机で共有する PostgreSQL サーバーの名簿を使います"));
    auto* choice = new QButtonGroup(this);
    choice->addButton(localradio);
    choice->addButton(serverradio);

    serverbox = Named(new QWidget(this), "serverbox");
    hostedit = Named(new QLineEdit(settings.host, serverbox), "hostedit");
    hostedit->setPlaceholderText(QStringLiteral("空欄：このコンピューターのサーバー"));
    hostedit->setToolTip(QStringLiteral("ホスト名、IP アドレス、または / で始まるソケットのフォルダー"));
    portedit = Named(new QLineEdit(QString::number(settings.port), serverbox), "portedit");
    portedit->setMaxLength(5);
    databaseedit = Named(new QLineEdit(settings.database, serverbox), "databaseedit");
    useredit = Named(new QLineEdit(settings.user, serverbox), "useredit");
    useredit->setPlaceholderText(QStringLiteral("空欄：ログインしているユーザー名"));
    for (QLineEdit* e : {hostedit, portedit, databaseedit, useredit}) {
        e->setAttribute(Qt::WA_InputMethodEnabled, false);  // half-width names
        e->setMinimumWidth(300);
    }
    sslbox = Named(new QComboBox(serverbox), "sslbox");
    for (const auto& m : kSslModes) sslbox->addItem(QString::fromUtf8(m.caption), QString::fromLatin1(m.mode));
    int ssl = sslbox->findData(settings.sslMode);
    if (ssl < 0 && !settings.sslMode.isEmpty()) {
        // A word written by hand that the list does not know stays as it is
        // until another is chosen.
        sslbox->addItem(settings.sslMode, settings.sslMode);
        ssl = sslbox->count() - 1;
    }
    sslbox->setCurrentIndex(ssl < 0 ? sslbox->findData(QStringLiteral("prefer")) : ssl);
    hosterr = ErrorLabel("hosterr", serverbox);
    porterr = ErrorLabel("porterr", serverbox);
    databaseerr = ErrorLabel("databaseerr", serverbox);

    auto* form = new QFormLayout(serverbox);
    form->setContentsMargins(24, 0, 0, 0);  // under サーバー
    form->addRow(QStringLiteral("ホスト"), WithMessage(hostedit, hosterr, serverbox));
    form->addRow(QStringLiteral("ポート"), WithMessage(portedit, porterr, serverbox));
    form->addRow(QStringLiteral("データベース"), WithMessage(databaseedit, databaseerr, serverbox));
    form->addRow(QStringLiteral("ユーザー"), useredit);
    form->addRow(QStringLiteral("TLS"), sslbox);

    auto* note =
        Named(new QLabel(QStringLiteral("パスワードは保存しません。PostgreSQL のパスワードファイル（~/.pgpass）に"
                                        "書くか、接続のときに入力します。"),
                         serverbox),
              "passwordnote");
    note->setWordWrap(true);
    trialbtn = Named(new QPushButton(QStringLiteral("接続を試す"), serverbox), "trialbtn");
    triallbl = Named(new QLabel(serverbox), "triallbl");
    triallbl->setWordWrap(true);
    triallbl->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* trialRow = new QHBoxLayout;
    trialRow->addWidget(trialbtn);
    trialRow->addStretch(1);
    form->addRow(note);
    form->addRow(trialRow);
    form->addRow(triallbl);

    auto* buttons = Named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this), "buttons");
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(localradio);
    layout->addWidget(serverradio);
    layout->addWidget(serverbox);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(buttons, &QDialogButtonBox::accepted, this, &RegisterPlaceDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &RegisterPlaceDialog::reject);
    connect(trialbtn, &QPushButton::clicked, this, &RegisterPlaceDialog::TryConnection);
    connect(serverradio, &QRadioButton::toggled, this, &RegisterPlaceDialog::ShowServerChoice);

    (settings.useServer ? serverradio : localradio)->setChecked(true);
    ShowServerChoice();
}

void RegisterPlaceDialog::ShowServerChoice() { serverbox->setEnabled(serverradio->isChecked()); }

RegisterServerSettings RegisterPlaceDialog::Settings() const {
    RegisterServerSettings s;
    s.useServer = serverradio->isChecked();
    s.host = hostedit->text().trimmed();
    bool ok = false;
    const int port = portedit->text().trimmed().toInt(&ok);
    if (ok) s.port = port;
    s.database = databaseedit->text().trimmed();
    s.user = useredit->text().trimmed();
    s.sslMode = sslbox->currentData().toString();
    return s;
}

bool RegisterPlaceDialog::CheckFields() {
    QString hostWhy, portWhy, databaseWhy;
    if (serverradio->isChecked()) {
        hostWhy = HostProblem(hostedit->text().trimmed());
        bool ok = false;
        const int port = portedit->text().trimmed().toInt(&ok);
        if (!ok || port < 1 || port > 65535)
            portWhy = QStringLiteral("ポートは 1 から 65535 までの数字で入力してください（ふつうは 5432）");
        if (databaseedit->text().trimmed().isEmpty())
            databaseWhy = QStringLiteral("データベースの名前を入力してください（ふつうは zelvara）");
    }
    ShowMessage(hosterr, hostWhy);
    ShowMessage(porterr, portWhy);
    ShowMessage(databaseerr, databaseWhy);
    for (auto [why, field] :
         {std::pair{hostWhy, hostedit}, std::pair{portWhy, portedit}, std::pair{databaseWhy, databaseedit}}) {
        if (!why.isEmpty()) {
            field->setFocus();
            return false;
        }
    }
    return true;
}

void RegisterPlaceDialog::accept() {
    if (CheckFields()) QDialog::accept();
}

void RegisterPlaceDialog::TryConnection() {
    triallbl->clear();
    if (!CheckFields()) return;
    PgConnection connection = ServerConnectionOf(Settings());
    const Trial trial = trial_ ? trial_ : Trial(&RegisterPlaceDialog::OpenTrialConnection);
    QString shown;
    for (int attempt = 0;; ++attempt) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const TrialOutcome outcome = trial(connection);
        QApplication::restoreOverrideCursor();
        if (outcome.connected) {
            shown = QStringLiteral("接続できました");
            break;
        }
        if (!PgWantsPassword(outcome.error) || attempt == 3) {
            shown = QStringLiteral("接続できません：%1").arg(PgRefusalMessage(outcome.error));
            break;
        }
        const QString where = DescribePgConnection(connection);
        const QString prompt =
            attempt == 0 ? QStringLiteral("名簿のサーバー %1 のパスワード：").arg(where)
                         : QStringLiteral("パスワードが違います。名簿のサーバー %1 のパスワード：").arg(where);
        std::optional<QString> password;
        if (askPassword_) {
            password = askPassword_(prompt);
        } else {
            bool ok = false;
            const QString typed =
                QInputDialog::getText(this, windowTitle(), prompt, QLineEdit::Password, QString(), &ok);
            if (ok) password = typed;
        }
        if (!password) {
            shown = QStringLiteral("接続できません：パスワードが入力されませんでした");
            break;
        }
        connection.password = *password;
    }
    triallbl->setText(shown);
}

RegisterPlaceDialog::TrialOutcome RegisterPlaceDialog::OpenTrialConnection(const PgConnection& connection) {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return {false, QStringLiteral("PostgreSQL に接続する Qt のドライバー（libqt6sql6-psql）が入っていません")};
    const QString name = NextTrialName();
    TrialOutcome outcome;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        ApplyPgConnection(connection, db);  // with its bounded wait for an answer
        outcome.connected = db.open();
        if (!outcome.connected) outcome.error = db.lastError().text().trimmed();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return outcome;
}

}  // namespace zelvara
