// The test server itself: reachable through its socket, stoppable and
// startable under a connection, strict about the password role, and gone
// without a trace afterwards, even when the test program dies.
#include "tests/pg/test_pg_server.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <csignal>
#include <cstdio>

namespace {

// A named QPSQL connection that is removed again with the object.
class Connection {
public:
    Connection(const TestPgServer& server, const QString& database, const QString& user,
               const QString& password = QString())
        : name_(QStringLiteral("selftest%1").arg(++count_)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name_);
        db.setHostName(server.SocketDir());
        db.setPort(server.Port());
        db.setDatabaseName(database);
        db.setUserName(user);
        db.setPassword(password);
        opened_ = db.open();
    }
    ~Connection() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    bool Opened() const { return opened_; }
    QSqlDatabase Db() const { return QSqlDatabase::database(name_, false); }
    QString Error() const { return Db().lastError().text(); }

private:
    static inline int count_ = 0;
    QString name_;
    bool opened_ = false;
};

// Whether a process is there and not merely waiting to be reaped.
bool ProcessAlive(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return false;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close > 0 && text.size() > close + 2 && text.at(close + 2) != 'Z';
}

qint64 PostmasterPid(const TestPgServer& server) {
    QFile lock(server.Folder() + QStringLiteral("/data/postmaster.pid"));
    if (!lock.open(QIODevice::ReadOnly)) return 0;
    return lock.readLine().trimmed().toLongLong();
}

template <typename Condition>
bool Eventually(Condition condition, int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        if (condition()) return true;
        QThread::msleep(100);
    }
    return condition();
}

class PgServerShared : public PgServerTest {};

}  // namespace

TEST(PgServer, KeepsItsDataAcrossStopAndStartUnderAnOpenConnection) {
    ZELVARA_PG_SERVER_OR_SKIP(server);
    ASSERT_TRUE(server->CreateDatabase(QStringLiteral("selftest"))) << server->LastError().toStdString();

    Connection first(*server, QStringLiteral("selftest"), QStringLiteral("zelvara"));
    ASSERT_TRUE(first.Opened()) << first.Error().toStdString();
    QSqlQuery query(first.Db());
    ASSERT_TRUE(query.exec(QStringLiteral("CREATE TABLE person (name text)")));
    ASSERT_TRUE(query.exec(QStringLiteral("INSERT INTO person VALUES ('紫')")));

    ASSERT_TRUE(server->Stop()) << server->LastError().toStdString();
    EXPECT_FALSE(server->IsRunning());
    EXPECT_FALSE(query.exec(QStringLiteral("SELECT name FROM person")));
    EXPECT_TRUE(query.lastError().text().contains(QLatin1String("connection")))
        << query.lastError().text().toStdString();
    {
        Connection refused(*server, QStringLiteral("selftest"), QStringLiteral("zelvara"));
        EXPECT_FALSE(refused.Opened());
        EXPECT_EQ(refused.Db().lastError().type(), QSqlError::ConnectionError) << refused.Error().toStdString();
    }

    ASSERT_TRUE(server->Start()) << server->LastError().toStdString();
    Connection second(*server, QStringLiteral("selftest"), QStringLiteral("zelvara"));
    ASSERT_TRUE(second.Opened()) << second.Error().toStdString();
    QSqlQuery again(second.Db());
    ASSERT_TRUE(again.exec(QStringLiteral("SELECT name FROM person"))) << again.lastError().text().toStdString();
    ASSERT_TRUE(again.next());
    EXPECT_EQ(again.value(0).toString(), QStringLiteral("紫"));
}

TEST_F(PgServerShared, RefusesAWrongPasswordForThePasswordRoleOnly) {
    ASSERT_TRUE(Server().CreateDatabase(QStringLiteral("passwords"))) << Server().LastError().toStdString();
    struct Case {
        const char* user;
        const char* password;
        bool opens;
    };
    for (const Case& c : {Case{"zelvara_pw", "wrong", false}, Case{"zelvara_pw", "", false},
                          Case{"zelvara_pw", "secret", true}, Case{"zelvara", "", true}}) {
        Connection connection(Server(), QStringLiteral("passwords"), QLatin1String(c.user), QLatin1String(c.password));
        EXPECT_EQ(connection.Opened(), c.opens)
            << c.user << " / " << c.password << ": " << connection.Error().toStdString();
        if (!c.opens) {
            EXPECT_TRUE(connection.Error().contains(QLatin1String("password authentication failed")) ||
                        connection.Error().contains(QLatin1String("no password supplied")))
                << connection.Error().toStdString();
        }
    }
}

TEST_F(PgServerShared, ExecAnswersRowsAndReportsErrors) {
    QString output;
    ASSERT_TRUE(Server().Exec(QStringLiteral("SELECT 40 + 2;\nSELECT 'a';"), QStringLiteral("postgres"), &output))
        << output.toStdString();
    EXPECT_EQ(output, QStringLiteral("42\na"));
    EXPECT_FALSE(
        Server().Exec(QStringLiteral("SELECT 1 / 0;\nSELECT 'not reached';"), QStringLiteral("postgres"), &output));
    EXPECT_TRUE(output.contains(QLatin1String("division by zero"))) << output.toStdString();
    EXPECT_FALSE(output.contains(QLatin1String("not reached"))) << output.toStdString();

    // A second database for the same owner: the roles are made only once.
    EXPECT_TRUE(Server().CreateDatabase(QStringLiteral("Second \"one\""))) << Server().LastError().toStdString();
    EXPECT_TRUE(Server().Exec(QStringLiteral("SELECT 1;"), QStringLiteral("Second \"one\"")));

    const QString uri = Server().Uri(QStringLiteral("db"));
    EXPECT_TRUE(uri.startsWith(QLatin1String("postgresql://zelvara@/db?host=%2F"))) << uri.toStdString();
    EXPECT_TRUE(uri.endsWith(QStringLiteral("&port=%1").arg(Server().Port()))) << uri.toStdString();
}

TEST(PgServer, LeavesNeitherServerNorFolderWhenDestroyed) {
    ZELVARA_PG_SERVER_OR_SKIP(server);
    const QString folder = server->Folder();
    const qint64 pid = PostmasterPid(*server);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(ProcessAlive(pid));
    server.reset();
    EXPECT_FALSE(QDir(folder).exists()) << folder.toStdString();
    EXPECT_TRUE(Eventually([pid] { return !ProcessAlive(pid); }, 10)) << pid;
}

TEST(PgServer, NamesTheProgramsItCannotFind) {
    QString whyNot;
    EXPECT_EQ(TestPgServer::Start(&whyNot, QStringLiteral("/nonexistent/pg/bin")), nullptr);
    EXPECT_TRUE(whyNot.contains(QLatin1String("initdb")) && whyNot.contains(QLatin1String("/nonexistent/pg/bin")))
        << whyNot.toStdString();
}

// Run only by the next test, in a process of its own that then dies as a
// test killed for taking too long would.
TEST(PgServerChild, DISABLED_DiesWithItsServerRunning) {
    ZELVARA_PG_SERVER_OR_SKIP(server);
    std::printf("FOLDER=%s\nPID=%lld\n", server->Folder().toLocal8Bit().constData(),
                static_cast<long long>(PostmasterPid(*server)));
    std::fflush(stdout);
    std::raise(SIGKILL);
}

TEST_F(PgServerShared, EndsTheServerOfATestProgramThatWasKilled) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=PgServerChild.DISABLED_DiesWithItsServerRunning"),
                 QStringLiteral("--gtest_also_run_disabled_tests")});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QString output = QString::fromLocal8Bit(child.readAllStandardOutput());
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit) << output.toStdString();
    const QString folder = QRegularExpression(QStringLiteral("FOLDER=(.*)")).match(output).captured(1).trimmed();
    const qint64 pid = QRegularExpression(QStringLiteral("PID=(\\d+)")).match(output).captured(1).toLongLong();
    ASSERT_FALSE(folder.isEmpty()) << output.toStdString();
    ASSERT_GT(pid, 0) << output.toStdString();
    EXPECT_TRUE(Eventually([pid] { return !ProcessAlive(pid); }, 30)) << pid;
    EXPECT_TRUE(Eventually([folder] { return !QDir(folder).exists(); }, 30)) << folder.toStdString();
}
