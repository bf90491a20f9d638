// 「名簿の場所」: the dialog's fields and checks, 接続を試す through a fake
// server and through the real driver, and the settings window that stores
// the choice in zelv.ini and tells the main program about a change.
#include "common/cp932.h"
#include "tests/recording_sink.h"
#include "windows/register_place_dialog.h"
#include "windows/settings_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>

using namespace zelvara;

namespace {

template <typename W>
W* Child(QWidget& w, const char* name) {
    W* child = w.findChild<W*>(QString::fromLatin1(name));
    if (!child) qFatal("no child %s", name);
    return child;
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteRaw(const QString& path, const QString& text) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(*cp932::Encode(text));
}

const char* const kServerFields[] = {"hostedit", "portedit", "databaseedit", "useredit", "sslbox", "trialbtn"};

// What the fake server answers, try by try, and what it was given.
struct FakeServer {
    std::deque<RegisterPlaceDialog::TrialOutcome> answers;
    QList<PgConnection> tried;
    RegisterPlaceDialog::Trial Trial() {
        return [this](const PgConnection& c) {
            tried << c;
            if (answers.empty()) return RegisterPlaceDialog::TrialOutcome{false, QStringLiteral("no more answers")};
            const RegisterPlaceDialog::TrialOutcome a = answers.front();
            answers.pop_front();
            return a;
        };
    }
};

// The fields of a server place, filled in.
void FillServer(RegisterPlaceDialog& d, const QString& host, const QString& port, const QString& database,
                const QString& user = QStringLiteral("kantei")) {
    Child<QRadioButton>(d, "serverradio")->setChecked(true);
    Child<QLineEdit>(d, "hostedit")->setText(host);
    Child<QLineEdit>(d, "portedit")->setText(port);
    Child<QLineEdit>(d, "databaseedit")->setText(database);
    Child<QLineEdit>(d, "useredit")->setText(user);
}

}  // namespace

class TestRegisterPlace : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    RecordingSink sink_;
    QString Ini() const { return dir_.filePath(QStringLiteral("zelv.ini")); }

    // Clicks 名簿の場所… and lets act work the dialog (it is shown modally).
    // False when no dialog came up.
    bool WorkDialog(TCunstomFrm& w, const std::function<void(RegisterPlaceDialog&)>& act) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            if (auto* d = qobject_cast<RegisterPlaceDialog*>(QApplication::activeModalWidget())) {
                seen = true;
                act(*d);
                if (d->isVisible()) d->reject();
            }
        });
        Child<QPushButton>(w, "registerplacebtn")->click();
        return seen;
    }

private slots:
    void init() {
        QFile::remove(Ini());
        sink_.messages.clear();
    }

    // The server fields are usable only under サーバー; the defaults and the
    // TLS words are libpq's.
    void fieldsFollowTheChoice() {
        RegisterPlaceDialog d(RegisterServerSettings{});
        QVERIFY(Child<QRadioButton>(d, "localradio")->isChecked());
        for (const char* name : kServerFields) QVERIFY2(!Child<QWidget>(d, name)->isEnabled(), name);
        Child<QRadioButton>(d, "serverradio")->setChecked(true);
        for (const char* name : kServerFields) QVERIFY2(Child<QWidget>(d, name)->isEnabled(), name);
        Child<QRadioButton>(d, "localradio")->setChecked(true);
        for (const char* name : kServerFields) QVERIFY2(!Child<QWidget>(d, name)->isEnabled(), name);

        QCOMPARE(Child<QLineEdit>(d, "portedit")->text(), QStringLiteral("5432"));
        QCOMPARE(Child<QLineEdit>(d, "databaseedit")->text(), QStringLiteral("zelvara"));
        auto* ssl = Child<QComboBox>(d, "sslbox");
        QCOMPARE(ssl->currentData().toString(), QStringLiteral("prefer"));
        QStringList modes;
        for (int i = 0; i < ssl->count(); ++i) {
            modes << ssl->itemData(i).toString();
            QVERIFY2(ssl->itemText(i).endsWith(QStringLiteral("(%1)").arg(modes.last())), qPrintable(ssl->itemText(i)));
        }
        QCOMPARE(modes, QStringList({"disable", "allow", "prefer", "require", "verify-ca", "verify-full"}));
        QCOMPARE(Child<QLabel>(d, "passwordnote")->text(),
                 QStringLiteral("パスワードは保存しません。PostgreSQL "
                                "のパスワードファイル（~/.pgpass）に書くか、接続のときに入力します。"));

        // A stored server place opens under サーバー with its values.
        RegisterServerSettings s;
        s.useServer = true;
        s.host = QStringLiteral("/var/run/postgresql");
        s.port = 5433;
        s.database = QStringLiteral("meibo");
        s.user = QStringLiteral("kantei");
        s.sslMode = QStringLiteral("verify-full");
        RegisterPlaceDialog stored(s);
        QVERIFY(Child<QRadioButton>(stored, "serverradio")->isChecked());
        QVERIFY(Child<QWidget>(stored, "hostedit")->isEnabled());
        const RegisterServerSettings back = stored.Settings();
        QCOMPARE(RegisterServerEntries(back).size(), RegisterServerEntries(s).size());
        for (int i = 0; i < RegisterServerEntries(s).size(); ++i)
            QCOMPARE(RegisterServerEntries(back)[i].value, RegisterServerEntries(s)[i].value);

        // A picture of the dialog when ZELVARA_SCREENSHOT_DIR is set.
        if (const QString shots = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR"); !shots.isEmpty()) {
            stored.show();
            Child<QLineEdit>(stored, "portedit")->setText(QStringLiteral("x"));
            Child<QLineEdit>(stored, "databaseedit")->clear();
            stored.accept();
            stored.grab().save(shots + QStringLiteral("/register_place_dialog.png"));
        }
    }

    // OK checks the server fields and says what is wrong beside the field;
    // under このコンピューター nothing is checked.
    void okChecksTheFields_data() {
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("refusedBy");  // the message label, empty = accepted
        QTest::newRow("port not a number") << true << "db1"
                                           << "54x2"
                                           << "zelvara"
                                           << "porterr";
        QTest::newRow("port empty") << true << "db1"
                                    << ""
                                    << "zelvara"
                                    << "porterr";
        QTest::newRow("port 0") << true << "db1"
                                << "0"
                                << "zelvara"
                                << "porterr";
        QTest::newRow("port 65536") << true << "db1"
                                    << "65536"
                                    << "zelvara"
                                    << "porterr";
        QTest::newRow("database empty") << true << "db1"
                                        << "5432"
                                        << ""
                                        << "databaseerr";
        QTest::newRow("database blanks") << true << "db1"
                                         << "5432"
                                         << "  "
                                         << "databaseerr";
        QTest::newRow("host with a blank") << true << "db 1"
                                           << "5432"
                                           << "zelvara"
                                           << "hosterr";
        QTest::newRow("host in kana") << true << "さーばー"
                                      << "5432"
                                      << "zelvara"
                                      << "hosterr";
        QTest::newRow("host empty (default socket)") << true << ""
                                                     << "5432"
                                                     << "zelvara"
                                                     << "";
        QTest::newRow("socket folder") << true << "/var/run/postgresql"
                                       << "5432"
                                       << "zelvara"
                                       << "";
        QTest::newRow("IPv4") << true << "192.168.10.5"
                              << "1"
                              << "zelvara"
                              << "";
        QTest::newRow("IPv6") << true << "::1"
                              << "65535"
                              << "zelvara"
                              << "";
        QTest::newRow("two hosts") << true << "db1,db2"
                                   << "5432"
                                   << "zelvara"
                                   << "";
        QTest::newRow("host name") << true << " db-1.example.jp "
                                   << " 5432 "
                                   << "meibo"
                                   << "";
        QTest::newRow("this computer ignores the fields") << false << "db 1"
                                                          << "x"
                                                          << ""
                                                          << "";
    }
    void okChecksTheFields() {
        QFETCH(bool, server);
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(QString, database);
        QFETCH(QString, refusedBy);
        RegisterPlaceDialog d(RegisterServerSettings{});
        d.show();
        FillServer(d, host, port, database);
        if (!server) Child<QRadioButton>(d, "localradio")->setChecked(true);
        Child<QDialogButtonBox>(d, "buttons")->button(QDialogButtonBox::Ok)->click();
        for (const char* label : {"hosterr", "porterr", "databaseerr"}) {
            const bool shown = !Child<QLabel>(d, label)->isHidden();
            QVERIFY2(shown == (refusedBy == QLatin1String(label)), label);
            if (shown) QVERIFY(!Child<QLabel>(d, label)->text().isEmpty());
        }
        QCOMPARE(d.isVisible(), !refusedBy.isEmpty());
        QCOMPARE(d.result(), refusedBy.isEmpty() ? int(QDialog::Accepted) : int(QDialog::Rejected));
        if (refusedBy.isEmpty() && server) {
            const RegisterServerSettings s = d.Settings();
            QVERIFY(s.useServer);
            QCOMPARE(s.host, host.trimmed());
            QCOMPARE(s.port, port.trimmed().toInt());
            QCOMPARE(s.database, database);
        }
    }

    // 接続を試す through a fake server: the outcome in the dialog, a password
    // asked only when the server wants one, and a refused entry never tried.
    void tryConnection_data() {
        QTest::addColumn<QStringList>("errors");     // each try's error, empty = connected
        QTest::addColumn<QStringList>("passwords");  // each answer to the prompt, "<cancel>" = cancelled
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("tries");
        QTest::addColumn<QString>("shown");
        const QString noPassword = QStringLiteral("fe_sendauth: no password supplied\nQPSQL: Unable to connect");
        const QString badPassword =
            QStringLiteral("FATAL:  password authentication failed for user \"kantei\"\nQPSQL: Unable to connect");
        QTest::newRow("connected") << QStringList{""} << QStringList{} << "5432" << 1 << "接続できました";
        QTest::newRow("host unknown") << QStringList{"could not translate host name \"db1\" to address"}
                                      << QStringList{} << "5432" << 1
                                      << "接続できません：ホストが見つかりません。ホスト名を確かめてください。\n"
                                         "詳細: could not translate host name \"db1\" to address";
        QTest::newRow("driver text of several lines")
            << QStringList{"connection to server on socket \"/tmp/.s.PGSQL.5432\" failed: No such file or directory\n"
                           "\tIs the server running locally?\n\nQPSQL: Unable to connect"}
            << QStringList{} << "5432" << 1
            << "接続できません：サーバーが動いていないか、そのポートで接続を受け付けていません。ホストとポートを確かめ、"
               "サーバーが動いているか確かめてください。\n"
               "詳細: connection to server on socket \"/tmp/.s.PGSQL.5432\" failed: No such file or directory\n"
               "Is the server running locally?\nQPSQL: Unable to connect";
        QTest::newRow("wrong password four times")
            << QStringList{badPassword, badPassword, badPassword, badPassword}
            << QStringList{"machigai", "machigai", "machigai"} << "5432" << 4
            << "接続できません：パスワードが違います（またはユーザー名が違います）。\n"
               "詳細: FATAL:  password authentication failed for user \"kantei\"\nQPSQL: Unable to connect";
        QTest::newRow("a fault the program does not know")
            << QStringList{"FATAL:  sorry, too many clients already"} << QStringList{} << "5432" << 1
            << "接続できません：サーバーが接続を受け付けませんでした。詳細をサーバーの管理者に伝えてください。\n"
               "詳細: FATAL:  sorry, too many clients already";
        QTest::newRow("password asked") << QStringList{noPassword, ""} << QStringList{"himitsu"} << "5432" << 2
                                        << "接続できました";
        QTest::newRow("wrong password, asked again")
            << QStringList{badPassword, badPassword, ""} << QStringList{"machigai", "himitsu"} << "5432" << 3
            << "接続できました";
        QTest::newRow("prompt cancelled") << QStringList{noPassword} << QStringList{"<cancel>"} << "5432" << 1
                                          << "接続できません：パスワードが入力されませんでした";
        QTest::newRow("bad port is not tried") << QStringList{} << QStringList{} << "port" << 0 << "";
    }
    void tryConnection() {
        QFETCH(QStringList, errors);
        QFETCH(QStringList, passwords);
        QFETCH(QString, port);
        QFETCH(int, tries);
        QFETCH(QString, shown);
        RegisterPlaceDialog d(RegisterServerSettings{});
        FillServer(d, QStringLiteral("db1"), port, QStringLiteral("meibo"));
        FakeServer server;
        for (const QString& e : errors) server.answers.push_back({e.isEmpty(), e});
        d.SetTrial(server.Trial());
        QStringList prompts;
        d.SetPasswordPrompt([&](const QString& prompt) -> std::optional<QString> {
            prompts << prompt;
            const QString answer = passwords.value(prompts.size() - 1);
            return answer == QLatin1String("<cancel>") ? std::nullopt : std::optional<QString>(answer);
        });
        Child<QPushButton>(d, "trialbtn")->click();
        QCOMPARE(Child<QLabel>(d, "triallbl")->text(), shown);
        QCOMPARE(server.tried.size(), tries);
        QCOMPARE(prompts.size(), passwords.size());
        for (int i = 0; i < server.tried.size(); ++i) {
            const PgConnection& c = server.tried[i];
            QCOMPARE(c.host, QStringLiteral("db1"));
            QCOMPARE(c.database, QStringLiteral("meibo"));
            QCOMPARE(c.user, QStringLiteral("kantei"));
            // The first try carries no password; each later one the answer before it.
            QCOMPARE(c.password, i == 0 ? QString() : passwords[i - 1]);
        }
        if (prompts.size() > 1)
            QVERIFY2(prompts[1].contains(QStringLiteral("パスワードが違います")), qPrintable(prompts[1]));
        QCOMPARE(!Child<QLabel>(d, "porterr")->isHidden(), tries == 0);
        // The password is not kept in what the dialog hands back.
        QVERIFY(ServerConnectionOf(d.Settings()).password.isEmpty());
    }

    // Unset, the password is asked in an input box that hides what is typed.
    void passwordAskedInAHiddenInputBox() {
        RegisterPlaceDialog d(RegisterServerSettings{});
        d.show();
        FillServer(d, QStringLiteral("db1"), QStringLiteral("5432"), QStringLiteral("zelvara"));
        FakeServer server;
        server.answers = {{false, QStringLiteral("fe_sendauth: no password supplied")}, {true, QString()}};
        d.SetTrial(server.Trial());
        int echo = -1;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
                echo = box->textEchoMode();
                box->setTextValue(QStringLiteral("himitsu"));
                box->accept();
            }
        });
        Child<QPushButton>(d, "trialbtn")->click();
        QCOMPARE(echo, int(QLineEdit::Password));
        QCOMPARE(server.tried.size(), 2);
        QCOMPARE(server.tried[1].password, QStringLiteral("himitsu"));
        QCOMPARE(Child<QLabel>(d, "triallbl")->text(), QStringLiteral("接続できました"));
    }

    // Without a fake the try goes to the real driver: a socket folder with
    // no server in it gives the driver's reason, and the try's connection is
    // removed again.
    void realTrialShowsTheDriversReason() {
        const QStringList before = QSqlDatabase::connectionNames();
        RegisterPlaceDialog d(RegisterServerSettings{});
        QTemporaryDir empty;
        FillServer(d, empty.path(), QStringLiteral("5432"), QStringLiteral("zelvara"));
        Child<QPushButton>(d, "trialbtn")->click();
        const QString shown = Child<QLabel>(d, "triallbl")->text();
        QVERIFY2(shown.startsWith(QStringLiteral("接続できません：")), qPrintable(shown));
        if (QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
            QVERIFY2(shown.startsWith(QStringLiteral("接続できません：サーバーが動いていないか")), qPrintable(shown));
            QVERIFY2(shown.contains(QStringLiteral("\n詳細: ")), qPrintable(shown));
            QVERIFY2(shown.contains(empty.path() + QStringLiteral("/.s.PGSQL.5432")), qPrintable(shown));
        } else
            QVERIFY2(shown.contains(QStringLiteral("libqt6sql6-psql")), qPrintable(shown));
        QCOMPARE(QSqlDatabase::connectionNames(), before);
        if (const QString shots = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR"); !shots.isEmpty()) {
            d.show();
            d.grab().save(shots + QStringLiteral("/register_place_trial.png"));
        }
    }

    // The button and the line with the current place show once the door is
    // given; the line follows zelv.ini.
    void doorShowsButtonAndPlace() {
        TCunstomFrm w(sink_, QStringLiteral("Zelvara"), Ini());
        w.show();
        QVERIFY(Child<QPushButton>(w, "registerplacebtn")->isHidden());
        QVERIFY(Child<QLabel>(w, "registerlbl")->isHidden());
        w.SetRegisterPlaceDoor([] {});
        QVERIFY(!Child<QPushButton>(w, "registerplacebtn")->isHidden());
        QCOMPARE(Child<QPushButton>(w, "registerplacebtn")->text(), QStringLiteral("名簿の場所…"));
        QCOMPARE(Child<QLabel>(w, "registerlbl")->text(), QStringLiteral("名簿：このコンピューター"));
        w.hide();
        WriteRaw(Ini(), QStringLiteral("[register]\r\nplace=server\r\nhost=db1\r\nport=5433\r\ndatabase=meibo\r\n"));
        w.show();
        const RegisterServerSettings s = LoadRegisterServerSettings(SettingsFile(Ini()));
        QCOMPARE(Child<QLabel>(w, "registerlbl")->text(),
                 QStringLiteral("名簿：サーバー ") + DescribePgConnection(ServerConnectionOf(s)));
        if (const QString shots = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR"); !shots.isEmpty())
            w.grab().save(shots + QStringLiteral("/settings_window_register.png"));
        // A register chosen on the command line is what the line names.
        w.SetRegisterPlaceDoor([] {}, QStringLiteral("--register の指定によるサーバー x"));
        QVERIFY(Child<QLabel>(w, "registerlbl")
                    ->text()
                    .startsWith(QStringLiteral("名簿：--register の指定によるサーバー x")));
    }

    // zelv.ini is written only when OK brings a change: cancelling, or OK
    // with the place as it was, leaves the file byte for byte; a change
    // writes the [register] lines (never a password) and opens the door once.
    void storedOnlyWhenChanged_data() {
        QTest::addColumn<QString>("file");  // empty = no zelv.ini
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("changed");
        const QString other = QStringLiteral("[owner]\r\ntitle=星読み館\r\n[time]\r\ncorrection=mean\r\n");
        const QString server = other + QStringLiteral(
                                           "[register]\r\nplace=server\r\nhost=db1\r\nport=5432\r\n"
                                           "database=zelvara\r\nuser=kantei\r\nsslmode=require\r\n");
        QTest::newRow("cancel, no file") << QString() << "cancel" << false;
        QTest::newRow("cancel after changing") << other << "server then cancel" << false;
        QTest::newRow("OK unchanged, no file") << QString() << "ok" << false;
        QTest::newRow("OK unchanged, other lines") << other << "ok" << false;
        QTest::newRow("OK unchanged, on a server") << server << "ok" << false;
        QTest::newRow("server fields filled, left on this computer") << other << "server then local" << false;
        QTest::newRow("bad port, then fixed") << other << "bad port then fix" << true;
        QTest::newRow("to a server") << other << "server" << true;
        QTest::newRow("to this computer") << server << "local" << true;
        QTest::newRow("another TLS mode") << server << "verify-full" << true;
    }
    void storedOnlyWhenChanged() {
        QFETCH(QString, file);
        QFETCH(QString, action);
        QFETCH(bool, changed);
        if (!file.isEmpty()) WriteRaw(Ini(), file);
        const QByteArray before = ReadBytes(Ini());
        TCunstomFrm w(sink_, QStringLiteral("Zelvara"), Ini());
        int calls = 0;
        w.SetRegisterPlaceDoor([&calls] { ++calls; });
        w.show();
        const QString labelBefore = Child<QLabel>(w, "registerlbl")->text();
        RegisterServerSettings entered;
        QVERIFY(WorkDialog(w, [&](RegisterPlaceDialog& d) {
            auto* ok = Child<QDialogButtonBox>(d, "buttons")->button(QDialogButtonBox::Ok);
            if (action.startsWith(QLatin1String("server")) || action.startsWith(QLatin1String("bad port")))
                FillServer(d, QStringLiteral("/var/run/postgresql"), QStringLiteral("5433"), QStringLiteral("meibo"));
            if (action == QLatin1String("bad port then fix")) {
                Child<QLineEdit>(d, "portedit")->setText(QStringLiteral("99999"));
                ok->click();
                QVERIFY(d.isVisible());
                Child<QLineEdit>(d, "portedit")->setText(QStringLiteral("5433"));
            }
            if (action.endsWith(QLatin1String("local"))) Child<QRadioButton>(d, "localradio")->setChecked(true);
            if (action == QLatin1String("verify-full")) {
                auto* ssl = Child<QComboBox>(d, "sslbox");
                ssl->setCurrentIndex(ssl->findData(QStringLiteral("verify-full")));
            }
            entered = d.Settings();
            if (action.endsWith(QLatin1String("cancel")))
                d.reject();
            else
                ok->click();
        }));
        QCOMPARE(calls, changed ? 1 : 0);
        QVERIFY(sink_.messages.isEmpty());
        const QByteArray after = ReadBytes(Ini());
        QVERIFY(!after.toLower().contains("pass"));
        if (!changed) {
            QCOMPARE(after, before);
            QCOMPARE(Child<QLabel>(w, "registerlbl")->text(), labelBefore);
            return;
        }
        // The rest of the file is kept; the stored place reads back as entered.
        const QString text = cp932::Decode(after);
        QVERIFY2(
            text.contains(QStringLiteral("title=星読み館\r\n")) && text.contains(QStringLiteral("correction=mean\r\n")),
            qPrintable(text));
        const RegisterServerSettings stored = LoadRegisterServerSettings(SettingsFile(Ini()));
        const auto storedEntries = RegisterServerEntries(stored);
        const auto enteredEntries = RegisterServerEntries(entered);
        for (int i = 0; i < enteredEntries.size(); ++i) {
            QCOMPARE(storedEntries[i].value, enteredEntries[i].value);
            QVERIFY2(text.contains(QStringLiteral("%1=%2\r\n").arg(enteredEntries[i].key, enteredEntries[i].value)),
                     qPrintable(text));
        }
        QCOMPARE(Child<QLabel>(w, "registerlbl")->text(),
                 stored.useServer ? QStringLiteral("名簿：サーバー ") + DescribePgConnection(ServerConnectionOf(stored))
                                  : QStringLiteral("名簿：このコンピューター"));
        // Opened again, the dialog shows what was stored.
        QVERIFY(WorkDialog(w, [&](RegisterPlaceDialog& d) {
            QCOMPARE(Child<QRadioButton>(d, "serverradio")->isChecked(), entered.useServer);
            QCOMPARE(Child<QLineEdit>(d, "databaseedit")->text(), entered.database);
            QCOMPARE(Child<QComboBox>(d, "sslbox")->currentData().toString(), entered.sslMode);
        }));
        QCOMPARE(calls, 1);
    }

    // A write that fails says which file and why, and changes nothing else:
    // no door, the line as it was, the file as it was.
    void failedWriteChangesNothing_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("user");
        QTest::newRow("settings path is a folder") << "folder/zelv.ini"
                                                   << "kantei";
        QTest::newRow("user without Shift-JIS form") << "zelv.ini"
                                                     << "鑑定🌟";
    }
    void failedWriteChangesNothing() {
        QFETCH(QString, where);
        QFETCH(QString, user);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder/zelv.ini")));
        WriteRaw(dir.filePath(QStringLiteral("zelv.ini")), QStringLiteral("[owner]\r\ntitle=題\r\n"));
        const QByteArray before = ReadBytes(dir.filePath(QStringLiteral("zelv.ini")));
        TCunstomFrm w(sink_, QStringLiteral("Zelvara"), dir.filePath(where));
        int calls = 0;
        w.SetRegisterPlaceDoor([&calls] { ++calls; });
        QVERIFY(WorkDialog(w, [&](RegisterPlaceDialog& d) {
            FillServer(d, QStringLiteral("db1"), QStringLiteral("5432"), QStringLiteral("zelvara"), user);
            Child<QDialogButtonBox>(d, "buttons")->button(QDialogButtonBox::Ok)->click();
        }));
        QCOMPARE(calls, 0);
        QCOMPARE(sink_.messages.size(), 1);
        QVERIFY2(sink_.messages[0].contains(dir.filePath(where)) &&
                     sink_.messages[0].contains(QStringLiteral("名簿の場所は変わっていません")),
                 qPrintable(sink_.messages[0]));
        QCOMPARE(Child<QLabel>(w, "registerlbl")->text(), QStringLiteral("名簿：このコンピューター"));
        QCOMPARE(ReadBytes(dir.filePath(QStringLiteral("zelv.ini"))), before);
    }
};

QTEST_MAIN(TestRegisterPlace)
#include "tst_register_place.moc"
