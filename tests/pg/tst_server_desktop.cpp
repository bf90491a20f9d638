// Two programs on two desks share one register on a server: the desktop
// program (its main window, offscreen, in this process) and zelvara-cli or a
// second desk in other processes. The data page says which register is open,
// a cast chart is written back to the server, records another program adds
// appear, a record another desk changed is not written over, exact times are
// kept there too, and a register moves from this computer to the server and
// back through the command line.
#include "common/pg_connection.h"
#include "main/consultation_page.h"
#include "main/data_input_page.h"
#include "main/main_window.h"
#include "register/birth_time_table.h"
#include "register/person_fields.h"
#include "tests/pg/test_pg_server.h"
#include "tests/recording_sink.h"
#include "tests/register/register_records.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

using namespace zelvara;
using namespace register_test;
using CliRun = register_test::Run;  // a test has a Run() of its own

namespace {

const BirthTimeEntry kNewYork{QStringLiteral("10:40"),
                              QStringLiteral("ニューヨーク（New York, United States of America）"), -74.00597,
                              QStringLiteral("America/New_York"), TimeCorrection::kTrue};

// The second desk: this test program again, in a process of its own, running
// only the disabled test below, which edits one field of the first record.
bool EditAtAnotherDesk(const QString& uri, int field, const QString& value) {
    QProcess desk;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZELVARA_DESK_URI"), uri);
    env.insert(QStringLiteral("ZELVARA_DESK_FIELD"), QString::number(field));
    env.insert(QStringLiteral("ZELVARA_DESK_VALUE"), value);
    desk.setProcessEnvironment(env);
    desk.start(QApplication::applicationFilePath(), {QStringLiteral("--gtest_also_run_disabled_tests"),
                                                     QStringLiteral("--gtest_filter=*DISABLED_SecondDesk*")});
    return desk.waitForFinished(60000) && desk.exitStatus() == QProcess::NormalExit && desk.exitCode() == 0;
}

class ServerDesktop : public PgDatabaseTest {
protected:
    void SetUp() override {
        PgDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        const QDir data(qEnvironmentVariable("ZELVARA_DATA_DIR"));
        for (const QString& f : data.entryList({"*.bmp", "*.eto"}, QDir::Files))
            QFile::copy(data.filePath(f), home_.filePath(f));
    }
    void TearDown() override { window_.reset(); }

    TMainForm1& Start(bool onTheCommandLine = true) {
        StartupOptions o;
        o.programFolder = home_.path();
        o.settingsPath = home_.filePath("zelv.ini");
        o.showSplash = false;
        if (onTheCommandLine) o.registerUri = Uri();
        window_ = std::make_unique<TMainForm1>(sink_);
        window_->SetQuestion([this](const QString& text) {
            asked_ << text;
            return false;
        });
        window_->RunStartup(o);
        return *window_;
    }
    // zelvara-cli register ARGS on the program folder and the test's server.
    CliRun OnServer(const QStringList& args) { return Cli(home_.path(), args + QStringList{"--register", Uri()}); }

    QTemporaryDir home_;
    RecordingSink sink_;
    QStringList asked_;
    std::unique_ptr<TMainForm1> window_;
};

TEST_F(ServerDesktop, TheDesktopProgramAndTheCommandLineShareOneRegister) {
    TMainForm1& w = Start();
    PersonTable& persons = w.Persons();
    ASSERT_TRUE(persons.IsWritable()) << persons.Unavailability().toStdString();
    auto* status = w.findChild<QLabel*>(QStringLiteral("registerStatus"));
    ASSERT_TRUE(status);
    EXPECT_FALSE(status->isHidden());
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("名簿：サーバー ")));
    EXPECT_TRUE(status->text().contains(database_)) << status->text().toStdString();
    EXPECT_FALSE(QFile::exists(home_.filePath("nam_data.db"))) << "nothing is kept on this computer";

    persons.Append();
    const QStringList values{"甲", "1965", "3", "7", "03:00-05:00", "女"};
    for (int i = 0; i < values.size(); ++i) persons.SetValue(i, values[i]);
    ASSERT_TRUE(persons.Post()) << sink_.Last().toStdString();

    // A cast chart is written back: the life palace's star reaches the server.
    w.findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
    EXPECT_TRUE(w.Session().HasChart());
    const QString lifeStar = persons.Value(PalaceFieldIndex(kLifePalace));
    EXPECT_FALSE(lifeStar.isEmpty());
    EXPECT_EQ(Sql(QStringLiteral("SELECT meikyu FROM nam_data")), lifeStar);

    // The command line, another process, sees it and adds a record meanwhile.
    const CliRun list = OnServer({"list"});
    EXPECT_EQ(list.code, 0) << list.err.toStdString();
    EXPECT_TRUE(list.out.contains(QStringLiteral("甲\t1965/3/7"))) << list.out.toStdString();
    QFile csv(home_.filePath("add.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write(
        QStringLiteral("氏名,生まれた年,生まれた月,生まれた日,生まれた時刻,性別\r\n乙,1959,5,7,05:00-07:00,男\r\n")
            .toUtf8());
    csv.close();
    const CliRun import = OnServer({"import", "--csv", csv.fileName()});
    EXPECT_EQ(import.code, 0) << import.err.toStdString() << import.out.toStdString();
    EXPECT_FALSE(import.out.contains(QStringLiteral("保存しました"))) << "no file copy is made of a server register";
    ASSERT_TRUE(persons.ClearFilter());
    EXPECT_EQ(persons.RecordCount(), 2);

    // Another desk changes the record the window is editing: the window's post
    // is refused, names the field, and the edit stays in the form.
    persons.First();
    persons.SetValue(kFieldDay, QStringLiteral("8"));
    ASSERT_TRUE(EditAtAnotherDesk(Uri(), kFieldName, QStringLiteral("甲子")));
    EXPECT_FALSE(persons.Post());
    ASSERT_EQ(asked_.size(), 1);
    EXPECT_TRUE(asked_[0].contains(QStringLiteral("別の机で変更されています（氏名）"))) << asked_[0].toStdString();
    EXPECT_TRUE(persons.IsModified());
    EXPECT_EQ(persons.Value(kFieldDay), QStringLiteral("8"));
    EXPECT_EQ(Sql(QStringLiteral("SELECT \"氏名\" || ' ' || \"生まれた日\" FROM nam_data ORDER BY id LIMIT 1")),
              QStringLiteral("甲子 7"));
}

// The exact time on a server register: stored for the current person, shown
// by the data page's mark, and back with the person after 削除 and 元に戻す.
TEST_F(ServerDesktop, AnExactTimeIsKeptOnTheServerThroughDeleteAndUndelete) {
    TMainForm1& w = Start();
    PersonTable& persons = w.Persons();
    ASSERT_TRUE(persons.IsWritable()) << persons.Unavailability().toStdString();
    persons.Append();
    const QStringList values{"甲", "1972", "11", "3", "09:00-11:00", "女"};
    for (int i = 0; i < values.size(); ++i) persons.SetValue(i, values[i]);
    ASSERT_TRUE(persons.Post()) << sink_.Last().toStdString();
    QString why;
    BirthTimeTable* times = w.BirthTimes().Table(&why);
    ASSERT_TRUE(times) << why.toStdString();
    ASSERT_EQ(times->Write(w.BirthTimes().CurrentPerson(), kNewYork), QString());
    w.DataPage().ShowBirthTimeMark();
    EXPECT_FALSE(w.findChild<QLabel*>(QStringLiteral("birthTimeMark"))->isHidden());

    ASSERT_TRUE(persons.Delete());
    EXPECT_FALSE(w.BirthTimes().CurrentEntry());
    ASSERT_TRUE(persons.Undelete(persons.DeletedRecords().at(0).number)) << sink_.Last().toStdString();
    EXPECT_EQ(w.BirthTimes().CurrentEntry(), std::optional(kNewYork));
}

TEST_F(ServerDesktop, ChoosingTheServerInTheSettingsReopensTheRegisterThere) {
    TMainForm1& w = Start(false);
    PersonTable& persons = w.Persons();
    ASSERT_TRUE(persons.IsWritable());
    EXPECT_FALSE(persons.IsServer());
    auto* status = w.findChild<QLabel*>(QStringLiteral("registerStatus"));
    EXPECT_TRUE(status->isHidden()) << "the file on this computer says nothing";
    EXPECT_TRUE(w.RegisterOverride().isEmpty());
    persons.Append();
    persons.SetValue(kFieldName, QStringLiteral("手元"));
    persons.SetValue(kFieldSex, QStringLiteral("女"));

    RegisterServerSettings server;
    server.useServer = true;
    server.host = Server().SocketDir();
    server.port = Server().Port();
    server.database = database_;
    server.user = QStringLiteral("zelvara");
    ASSERT_TRUE(SettingsFile(home_.filePath("zelv.ini")).Write(RegisterServerEntries(server)));
    w.ReopenRegister();
    EXPECT_TRUE(persons.IsServer());
    EXPECT_TRUE(persons.IsWritable()) << persons.Unavailability().toStdString();
    EXPECT_TRUE(status->text().contains(database_)) << status->text().toStdString();
    // The pending edit was posted to the file before the register moved.
    RecordingSink sink;
    PersonTable local(sink);
    ASSERT_TRUE(local.Open(home_.path(), PersonTable::OpenMode::ReadOnly));
    EXPECT_EQ(local.RecordCount(), 1);
    EXPECT_EQ(local.Value(kFieldName), QStringLiteral("手元"));
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM nam_data")), QStringLiteral("0"));
}

// The 鑑定記録 page on the server: an entry saved there, an edit another desk
// made meanwhile is not written over (the typed text stays), and the
// command line prints the client's entries from the server.
TEST_F(ServerDesktop, TheConsultationPageKeepsEntriesOnTheServer) {
    TMainForm1& w = Start();
    w.show();
    PersonTable& persons = w.Persons();
    ASSERT_TRUE(persons.IsWritable()) << persons.Unavailability().toStdString();
    persons.Append();
    const QStringList values{"丙", "1972", "11", "23", "13:00-15:00", "男"};
    for (int i = 0; i < values.size(); ++i) persons.SetValue(i, values[i]);
    ASSERT_TRUE(persons.Post()) << sink_.Last().toStdString();
    w.findChild<QTabWidget*>(QStringLiteral("PageControl1"))
        ->setCurrentWidget(w.findChild<QWidget*>(QStringLiteral("consultationsheet")));
    auto* notes = w.findChild<QPlainTextEdit*>(QStringLiteral("consultationNotes"));
    auto* save = w.findChild<QPushButton*>(QStringLiteral("saveEntryBtn"));
    notes->setPlainText(QStringLiteral("サーバーに書いたメモ"));
    save->click();
    ASSERT_TRUE(sink_.messages.isEmpty()) << sink_.Last().toStdString();
    EXPECT_EQ(Sql(QStringLiteral("SELECT notes FROM consultation")), QStringLiteral("サーバーに書いたメモ"));
    const QString id = QString::number(w.Consultations().Edited().id);

    const CliRun edit = Cli(home_.path(), {"edit", id, "--notes", "別の机のメモ", "--register", Uri()}, "notes");
    ASSERT_EQ(edit.code, 0) << edit.err.toStdString();
    notes->setPlainText(QStringLiteral("この机のメモ"));
    save->click();
    ASSERT_EQ(sink_.messages.size(), 1);
    EXPECT_TRUE(sink_.Last().contains(QStringLiteral("別のところで変更"))) << sink_.Last().toStdString();
    EXPECT_EQ(notes->toPlainText(), QStringLiteral("この机のメモ"));
    EXPECT_EQ(w.Consultations().Listed().front().notes, QStringLiteral("別の机のメモ"));
    EXPECT_EQ(Sql(QStringLiteral("SELECT notes FROM consultation")), QStringLiteral("別の机のメモ"));

    const QString pdf = home_.filePath("notes.pdf");
    const QString client = QString::number(persons.Record(persons.CurrentRow()).rowId);
    const CliRun print = Cli(home_.path(), {"notes", "--person", client, "--pdf", pdf, "--register", Uri()}, "print");
    EXPECT_EQ(print.code, 0) << print.err.toStdString();
    EXPECT_TRUE(QFile::exists(pdf));
}

TEST_F(ServerDesktop, DISABLED_SecondDesk) {
    const QString uri = qEnvironmentVariable("ZELVARA_DESK_URI");
    ASSERT_FALSE(uri.isEmpty());
    QString why;
    const auto connection = ParsePgUri(uri, &why);
    ASSERT_TRUE(connection) << why.toStdString();
    RecordingSink sink;
    PersonTable table(sink);
    ASSERT_TRUE(table.OpenServer(*connection)) << table.Unavailability().toStdString();
    ASSERT_TRUE(table.First() || table.CurrentRow() == 0);
    table.SetValue(qEnvironmentVariableIntValue("ZELVARA_DESK_FIELD"), qEnvironmentVariable("ZELVARA_DESK_VALUE"));
    ASSERT_TRUE(table.Post()) << sink.Last().toStdString();
}

TEST_F(ServerDesktop, ARegisterMovesFromThisComputerToTheServerAndBack) {
    // A register on this computer with records of every kind of text.
    {
        RecordingSink sink;
        PersonTable local(sink);
        ASSERT_TRUE(local.Open(home_.path()));
        const QList<QStringList> people{{"山田～花子", "S40", "3", "7", "03:00-05:00", "女"},
                                        {"O'Brien \"Jr\", 太郎", "1959", "12", "31", "不明の場合", "男"}};
        for (const QStringList& p : people) {
            local.Append();
            for (int i = 0; i < p.size(); ++i) local.SetValue(i, p[i]);
            local.SetValue(PalaceFieldIndex(1), QStringLiteral("紫微"));
            ASSERT_TRUE(local.Post()) << sink.Last().toStdString();
        }
        // The second one with an exact time abroad, which travels too.
        BirthTimeTable times;
        ASSERT_EQ(times.Open(local.FilePath(), true), QString());
        ASSERT_EQ(times.Write(local.Record(1).rowId, kNewYork), QString());
    }
    const QString fromHere = home_.filePath("here.csv");
    const QString fromServer = home_.filePath("server.csv");
    const CliRun exported = Cli(home_.path(), {"export", "--csv", fromHere});
    ASSERT_EQ(exported.code, 0) << exported.err.toStdString();
    const CliRun imported = OnServer({"import", "--csv", fromHere});
    ASSERT_EQ(imported.code, 0) << imported.err.toStdString();
    const CliRun back = OnServer({"export", "--csv", fromServer});
    ASSERT_EQ(back.code, 0) << back.err.toStdString();
    QFile a(fromHere), b(fromServer);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    const QByteArray here = a.readAll();
    EXPECT_TRUE(here.contains("America/New_York")) << here.toStdString();
    EXPECT_EQ(here, b.readAll());
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM nam_data")), QStringLiteral("2"));
    EXPECT_EQ(Sql(QStringLiteral("SELECT clock_time || ' ' || zone FROM birth_time")),
              QStringLiteral("10:40 America/New_York"));

    // Importing the same file again adds nothing: every record is already there.
    const CliRun again = OnServer({"import", "--csv", fromHere});
    EXPECT_EQ(again.code, 0) << again.err.toStdString();
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM nam_data")), QStringLiteral("2"));

    // Deleted on the server and brought back from the command line.
    Sql(
        QStringLiteral("WITH gone AS (DELETE FROM nam_data WHERE id = (SELECT min(id) FROM nam_data) RETURNING *) "
                       "INSERT INTO nam_data_deleted (\"氏名\") SELECT \"氏名\" FROM gone"));
    const CliRun deleted = OnServer({"deleted"});
    EXPECT_EQ(deleted.code, 0) << deleted.err.toStdString();
    EXPECT_TRUE(deleted.out.contains(QStringLiteral("山田～花子")));
    const QString number = deleted.out.section(QLatin1Char('\t'), 0, 0);
    const CliRun undeleted = OnServer({"undelete", number});
    EXPECT_EQ(undeleted.code, 0) << undeleted.err.toStdString();
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM nam_data")), QStringLiteral("2"));

    // What only a file has is refused for a server, and nothing is written.
    for (const QString kind : {"check", "backup", "restore"}) {
        const CliRun refused = OnServer({kind, "--out", home_.filePath("x.db"), "--from", fromHere});
        EXPECT_EQ(refused.code, 2) << kind.toStdString();
        EXPECT_TRUE(refused.err.contains(QStringLiteral("pg_dump"))) << refused.err.toStdString();
    }
    // An address that is not one, and a server that is not there.
    const CliRun bad = Cli(home_.path(), {"list", "--register", "mysql://x/y"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("--register の名簿の場所「mysql://x/y」を使えません")))
        << bad.err.toStdString();
    const CliRun away =
        Cli(home_.path(), {"list", "--register", "postgresql://zelvara@/zelvara?host=/nonexistent-folder&port=5999"});
    EXPECT_EQ(away.code, 1);
    EXPECT_TRUE(away.err.contains(QStringLiteral("サーバーに接続できません"))) << away.err.toStdString();
}

}  // namespace
