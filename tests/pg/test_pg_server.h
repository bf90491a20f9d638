#pragma once

// A throwaway PostgreSQL server for tests: its own cluster in a temporary
// folder, reachable only through a Unix socket in that folder, removed with
// the object. Tests that need a server skip (never pass) when none can be
// started, with the reason.

#include <gtest/gtest.h>

#include <QString>

#include <memory>
#include <string>

class TestPgServer {
public:
    // Finds PostgreSQL's programs (binDir if given, else $ZELVARA_PG_BINDIR,
    // else version 15's folder, `pg_config --bindir`, any
    // /usr/lib/postgresql/*/bin), makes a cluster (UTF8, locale C, superuser
    // postgres, trust on the socket except the role zelvara_pw, which needs
    // its password) and starts it. Run as root, the
    // cluster belongs to the user postgres (or nobody), as initdb refuses root.
    // nullptr and the reason when it cannot.
    static std::unique_ptr<TestPgServer> Start(QString* whyNot, const QString& binDir = QString());
    ~TestPgServer();

    TestPgServer(const TestPgServer&) = delete;
    TestPgServer& operator=(const TestPgServer&) = delete;

    // A libpq URI for the socket, e.g. postgresql://zelvara@/db?host=%2Ftmp%2F...&port=...
    QString Uri(const QString& database, const QString& user = QStringLiteral("zelvara")) const;
    QString SocketDir() const { return folder_; }
    int Port() const { return port_; }
    // The temporary folder that holds the cluster, its socket and its log.
    QString Folder() const { return folder_; }

    // Runs SQL as the superuser through psql (statements one by one, stopping
    // at the first error). output gets psql's unaligned rows, or its error.
    bool Exec(const QString& sql, const QString& database = QStringLiteral("postgres"), QString* output = nullptr);
    // A database owned by owner; makes the login roles zelvara and zelvara_pw
    // (password 'secret') the first time.
    bool CreateDatabase(const QString& name, const QString& owner = QStringLiteral("zelvara"));

    // Stops the server (fast shutdown) and starts it again on the same folder
    // and port: for a server that goes away in the middle of work.
    bool Stop();
    bool Start();
    bool Restart() { return Stop() && Start(); }
    bool IsRunning() const { return running_; }
    // What the last failed operation said (psql's or pg_ctl's error, the log).
    QString LastError() const { return lastError_; }

    // Ends the server at once and removes the folder. Needs nothing of Qt, so
    // that it may also run at process exit for servers nobody destroyed.
    void Discard();

private:
    TestPgServer() = default;
    bool Run(const QString& program, const QStringList& arguments, bool asServerUser,
             const QByteArray& input = QByteArray(), QString* output = nullptr);
    bool WriteSettings();
    void StartWatchdog() const;

    QString folder_;
    std::string folderPath_;  // the same, for Discard() at process exit
    QString binDir_;
    QString serverUser_;  // empty unless running as root
    int port_ = 0;
    bool running_ = false;
    bool rolesMade_ = false;
    QString lastError_;
};

// A test program's one shared server, started by the first suite that asks
// for it and ended at exit; SetUp() skips the test when there is none. A
// derived SetUp() calls it first and returns when IsSkipped(), before any use
// of Server(). Tests that stop the server make their own instead
// (ZELVARA_PG_SERVER_OR_SKIP).
class PgServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    static TestPgServer& Server();

private:
    static std::unique_ptr<TestPgServer>& Shared();
    static QString& WhyNot();
};

// A test with a database of its own on the shared server (made in SetUp).
class PgDatabaseTest : public PgServerTest {
protected:
    void SetUp() override;
    QString Uri() const { return Server().Uri(database_); }
    // Runs SQL as the superuser in the test's database: its output, trimmed.
    QString Sql(const QString& sql);
    QString database_;
};

// A server of the test's own in `var` (std::unique_ptr<TestPgServer>), or the
// test is skipped with the reason.
#define ZELVARA_PG_SERVER_OR_SKIP(var)                                     \
    QString var##WhyNot;                                                   \
    std::unique_ptr<TestPgServer> var = TestPgServer::Start(&var##WhyNot); \
    if (!var) GTEST_SKIP() << "PostgreSQL could not be started: " << var##WhyNot.toStdString()
