#include "tests/pg/test_pg_server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>

namespace {

constexpr int kProcessTimeoutMs = 120000;
// A Unix socket path (sun_path) holds at most 107 bytes.
constexpr int kMaxSocketPath = 107;

// Servers that are still alive, so that they end with the process even when
// nobody destroys them. Never destroyed itself: destructors of static servers
// may run after every other static object is gone.
std::mutex& LiveMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}
std::set<TestPgServer*>& Live() {
    static auto* live = new std::set<TestPgServer*>;
    return *live;
}

void DiscardAllAtExit() {
    std::set<TestPgServer*> servers;
    {
        std::lock_guard lock(LiveMutex());
        servers.swap(Live());
    }
    for (TestPgServer* server : servers) server->Discard();
}

void Register(TestPgServer* server) {
    std::lock_guard lock(LiveMutex());
    static const bool registered = (std::atexit(DiscardAllAtExit), true);
    (void)registered;
    Live().insert(server);
}

void Unregister(TestPgServer* server) {
    std::lock_guard lock(LiveMutex());
    Live().erase(server);
}

bool IsExecutable(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

// The folder of initdb, pg_ctl and postgres.
QString FindBinDir(const QString& wanted, QString* whyNot) {
    QStringList candidates;
    const QString fromEnvironment = qEnvironmentVariable("ZELVARA_PG_BINDIR");
    if (!wanted.isEmpty() || !fromEnvironment.isEmpty()) {
        candidates << (wanted.isEmpty() ? fromEnvironment : wanted);
    } else {
        candidates << QStringLiteral("/usr/lib/postgresql/15/bin");
        QProcess pgConfig;
        pgConfig.start(QStringLiteral("pg_config"), {QStringLiteral("--bindir")});
        if (pgConfig.waitForFinished(10000) && pgConfig.exitCode() == 0)
            candidates << QString::fromLocal8Bit(pgConfig.readAllStandardOutput()).trimmed();
        QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        std::sort(versions.begin(), versions.end(),
                  [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
        for (const QString& version : versions) candidates << QStringLiteral("/usr/lib/postgresql/%1/bin").arg(version);
    }
    QStringList missing;
    for (const QString& dir : candidates) {
        missing.clear();
        for (const char* program : {"initdb", "pg_ctl", "postgres"}) {
            if (!IsExecutable(dir + QLatin1Char('/') + QLatin1String(program))) missing << QLatin1String(program);
        }
        if (missing.isEmpty()) return dir;
    }
    *whyNot = QStringLiteral("no PostgreSQL programs (%1 missing in %2); install the package postgresql")
                  .arg(missing.join(QStringLiteral(", ")), candidates.join(QStringLiteral(", ")));
    return QString();
}

// Whether every folder on the way to path lets other users through, as the
// server's own user must reach its socket folder.
bool OthersCanReach(const QString& path) {
    QDir dir(path);
    for (;;) {
        struct stat info {};
        if (::stat(QFile::encodeName(dir.absolutePath()).constData(), &info) != 0 || !(info.st_mode & S_IXOTH))
            return false;
        if (dir.isRoot()) return true;
        dir.cdUp();
    }
}

QString QuoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString QuoteSetting(const QString& value) {
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

bool WriteFile(const QString& path, const QByteArray& text, const QString& owner, bool append = false) {
    QFile file(path);
    if (!file.open(append ? QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    if (file.write(text) != text.size()) return false;
    file.close();
    if (owner.isEmpty()) return true;
    const passwd* user = ::getpwnam(owner.toLocal8Bit().constData());
    return user && ::chown(QFile::encodeName(path).constData(), user->pw_uid, user->pw_gid) == 0;
}

QString Tail(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    if (file.size() > 2000) file.seek(file.size() - 2000);
    return QString::fromLocal8Bit(file.readAll()).trimmed();
}

// The postmaster's process id from its lock file, 0 when it is not running.
pid_t PostmasterPid(const std::string& folder) {
    std::ifstream lock(folder + "/data/postmaster.pid");
    long pid = 0;
    return (lock >> pid) && pid > 0 ? static_cast<pid_t>(pid) : 0;
}

// Ends the server as `pg_ctl stop -m immediate` does: SIGQUIT, then waits
// until its lock file is gone. SIGKILL after ten seconds.
void KillPostmaster(const std::string& folder) {
    const pid_t pid = PostmasterPid(folder);
    if (pid == 0 || ::kill(pid, SIGQUIT) != 0) return;
    const std::string lock = folder + "/data/postmaster.pid";
    for (int i = 0; i < 200; ++i) {
        if (!std::filesystem::exists(lock) || ::kill(pid, 0) != 0) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid, SIGKILL);
}

}  // namespace

std::unique_ptr<TestPgServer> TestPgServer::Start(QString* whyNot, const QString& binDir) {
    QString ignored;
    if (!whyNot) whyNot = &ignored;
    std::unique_ptr<TestPgServer> server(new TestPgServer);
    server->binDir_ = FindBinDir(binDir, whyNot);
    if (server->binDir_.isEmpty()) return nullptr;

    const bool root = ::geteuid() == 0;
    if (root) {
        server->serverUser_ = ::getpwnam("postgres") ? QStringLiteral("postgres") : QStringLiteral("nobody");
        if (QStandardPaths::findExecutable(QStringLiteral("runuser")).isEmpty()) {
            *whyNot = QStringLiteral("running as root, but runuser (util-linux) is missing to run initdb as %1")
                          .arg(server->serverUser_);
            return nullptr;
        }
    }

    // The socket path must be short, and the server's user must reach it.
    QString base = QDir::tempPath();
    if (base.size() + 30 > kMaxSocketPath || (root && !OthersCanReach(base))) base = QStringLiteral("/tmp");
    QTemporaryDir dir(base + QStringLiteral("/zpg-XXXXXX"));
    if (!dir.isValid()) {
        *whyNot = QStringLiteral("cannot make a temporary folder in %1: %2").arg(base, dir.errorString());
        return nullptr;
    }
    dir.setAutoRemove(false);
    server->folder_ = dir.path();
    server->folderPath_ = QFile::encodeName(server->folder_).toStdString();
    Register(server.get());
    if (root) {
        const passwd* user = ::getpwnam(server->serverUser_.toLocal8Bit().constData());
        if (!user || ::chown(server->folderPath_.c_str(), user->pw_uid, user->pw_gid) != 0) {
            *whyNot = QStringLiteral("cannot give %1 to the user %2").arg(server->folder_, server->serverUser_);
            return nullptr;
        }
    }

    const QString data = server->folder_ + QStringLiteral("/data");
    if (!server->Run(
            server->binDir_ + QStringLiteral("/initdb"),
            {QStringLiteral("-D"), data, QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-E"),
             QStringLiteral("UTF8"), QStringLiteral("--locale=C"), QStringLiteral("--auth-local=trust"),
             QStringLiteral("--auth-host=reject"), QStringLiteral("--no-sync")},
            true)) {
        *whyNot = QStringLiteral("initdb failed: ") + server->lastError_;
        return nullptr;
    }
    // First match wins: the password role before everyone else.
    const QByteArray hba =
        "local all zelvara_pw scram-sha-256\n"
        "local all all trust\n";
    if (!WriteFile(data + QStringLiteral("/pg_hba.conf"), hba, server->serverUser_) ||
        !WriteFile(data + QStringLiteral("/postgresql.conf"), "\ninclude 'zelvara_test.conf'\n", server->serverUser_,
                   true)) {
        *whyNot = QStringLiteral("cannot write the server's settings in ") + data;
        return nullptr;
    }

    // A port derived from the process id, so that parallel test programs use
    // different socket names and shared-memory keys; a few more if it fails.
    const int seed = static_cast<int>(::getpid());
    for (int attempt = 0; attempt < 4; ++attempt) {
        server->port_ = 20000 + (seed + attempt * 4099) % 40000;
        if (!server->WriteSettings()) {
            *whyNot = QStringLiteral("cannot write the server's settings in ") + data;
            return nullptr;
        }
        if (server->Start()) {
            server->StartWatchdog();
            return server;
        }
        KillPostmaster(server->folderPath_);
    }
    *whyNot = QStringLiteral("pg_ctl start failed: ") + server->lastError_;
    return nullptr;
}

TestPgServer::~TestPgServer() {
    Unregister(this);
    Discard();
}

void TestPgServer::Discard() {
    if (folderPath_.empty()) return;
    KillPostmaster(folderPath_);
    std::error_code ignored;
    std::filesystem::remove_all(folderPath_, ignored);
    folderPath_.clear();
    running_ = false;
}

bool TestPgServer::WriteSettings() {
    const QString settings = QStringLiteral(
                                 "listen_addresses = ''\n"
                                 "unix_socket_directories = %1\n"
                                 "port = %2\n"
                                 "fsync = off\n"
                                 "synchronous_commit = off\n"
                                 "full_page_writes = off\n"
                                 "shared_buffers = 16MB\n"
                                 // In the cluster's folder, so that nothing outlives it.
                                 "dynamic_shared_memory_type = mmap\n")
                                 .arg(QuoteSetting(folder_))
                                 .arg(port_);
    return WriteFile(folder_ + QStringLiteral("/data/zelvara_test.conf"), settings.toUtf8(), serverUser_);
}

// Ends the server and removes the folder when the test process dies without
// destroying it (a crash, a timeout): a detached shell that waits for this
// process, in a session of its own so that killing the test does not end it.
void TestPgServer::StartWatchdog() const {
    static const QString script = QStringLiteral(
        "while kill -0 \"$1\" 2>/dev/null; do sleep 1; done\n"
        "[ -d \"$2\" ] || exit 0\n"
        "lock=\"$2/data/postmaster.pid\"\n"
        "if [ -f \"$lock\" ]; then\n"
        "  pid=$(head -n 1 \"$lock\")\n"
        "  kill -QUIT \"$pid\" 2>/dev/null\n"
        "  i=0\n"
        "  while [ -f \"$lock\" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i+1)); done\n"
        "  [ -f \"$lock\" ] && kill -KILL \"$pid\" 2>/dev/null\n"
        "fi\n"
        "rm -rf \"$2\"\n");
    QProcess watchdog;
    watchdog.setProgram(QStringLiteral("/bin/sh"));
    watchdog.setArguments(
        {QStringLiteral("-c"), script, QStringLiteral("zelvara-pg-watchdog"), QString::number(::getpid()), folder_});
    watchdog.setWorkingDirectory(QStringLiteral("/"));
    watchdog.setStandardInputFile(QProcess::nullDevice());
    watchdog.setStandardOutputFile(QProcess::nullDevice());
    watchdog.setStandardErrorFile(QProcess::nullDevice());
    watchdog.startDetached();
}

bool TestPgServer::Run(const QString& program, const QStringList& arguments, bool asServerUser, const QByteArray& input,
                       QString* output) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : environment.keys()) {
        if (name.startsWith(QLatin1String("PG"))) environment.remove(name);
    }
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder_);
    if (asServerUser && !serverUser_.isEmpty()) {
        process.setProgram(QStringLiteral("runuser"));
        process.setArguments(QStringList{QStringLiteral("-u"), serverUser_, QStringLiteral("--"), program} + arguments);
    } else {
        process.setProgram(program);
        process.setArguments(arguments);
    }
    process.start();
    if (!process.waitForStarted(kProcessTimeoutMs)) {
        lastError_ = QStringLiteral("cannot run %1: %2").arg(process.program(), process.errorString());
        return false;
    }
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(kProcessTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        lastError_ = QStringLiteral("%1 did not finish in %2 s").arg(program).arg(kProcessTimeoutMs / 1000);
        return false;
    }
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    const QString err = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    const bool ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (output) *output = ok ? out : err;
    if (!ok) {
        lastError_ = QStringLiteral("%1 exited with %2: %3")
                         .arg(QFileInfo(program).fileName())
                         .arg(process.exitCode())
                         .arg((err + QLatin1Char('\n') + out).trimmed());
    }
    return ok;
}

QString TestPgServer::Uri(const QString& database, const QString& user) const {
    const auto encode = [](const QString& text) { return QString::fromLatin1(QUrl::toPercentEncoding(text)); };
    return QStringLiteral("postgresql://") + encode(user) + QStringLiteral("@/") + encode(database) +
           QStringLiteral("?host=") + encode(folder_) + QStringLiteral("&port=") + QString::number(port_);
}

bool TestPgServer::Exec(const QString& sql, const QString& database, QString* output) {
    QString psql = binDir_ + QStringLiteral("/psql");
    if (!IsExecutable(psql)) psql = QStandardPaths::findExecutable(QStringLiteral("psql"));
    if (psql.isEmpty()) {
        lastError_ = QStringLiteral("psql is missing; install the package postgresql-client");
        if (output) *output = lastError_;
        return false;
    }
    // Statements from standard input, so that psql sends them one by one
    // (CREATE DATABASE cannot share a transaction with others).
    return Run(psql,
               {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                QStringLiteral("-At"), QStringLiteral("-h"), folder_, QStringLiteral("-p"), QString::number(port_),
                QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-d"), database, QStringLiteral("-f"),
                QStringLiteral("-")},
               false, sql.toUtf8(), output);
}

bool TestPgServer::CreateDatabase(const QString& name, const QString& owner) {
    if (!rolesMade_) {
        rolesMade_ = Exec(QStringLiteral(
            "DO $$ BEGIN\n"
            "  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'zelvara') THEN CREATE ROLE zelvara LOGIN; END IF;\n"
            "  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'zelvara_pw') THEN\n"
            "    CREATE ROLE zelvara_pw LOGIN PASSWORD 'secret';\n"
            "  END IF;\n"
            "END $$;\n"));
        if (!rolesMade_) return false;
    }
    return Exec(QStringLiteral("CREATE DATABASE %1 OWNER %2;\n").arg(QuoteIdentifier(name), QuoteIdentifier(owner)));
}

bool TestPgServer::Start() {
    if (running_) return true;
    const QString data = folder_ + QStringLiteral("/data");
    const QString log = folder_ + QStringLiteral("/server.log");
    running_ = Run(binDir_ + QStringLiteral("/pg_ctl"),
                   {QStringLiteral("-D"), data, QStringLiteral("-l"), log, QStringLiteral("-w"), QStringLiteral("-t"),
                    QStringLiteral("60"), QStringLiteral("start")},
                   true);
    if (!running_) lastError_ += QStringLiteral("\nserver log:\n") + Tail(log);
    return running_;
}

bool TestPgServer::Stop() {
    if (!running_) return true;
    running_ =
        !Run(binDir_ + QStringLiteral("/pg_ctl"),
             {QStringLiteral("-D"), folder_ + QStringLiteral("/data"), QStringLiteral("-m"), QStringLiteral("fast"),
              QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("stop")},
             true);
    return !running_;
}

std::unique_ptr<TestPgServer>& PgServerTest::Shared() {
    static std::unique_ptr<TestPgServer> server;
    return server;
}

QString& PgServerTest::WhyNot() {
    static QString whyNot;
    return whyNot;
}

void PgServerTest::SetUpTestSuite() {
    static bool tried = false;
    if (tried) return;
    tried = true;
    Shared() = TestPgServer::Start(&WhyNot());
}

void PgServerTest::SetUp() {
    if (!Shared()) GTEST_SKIP() << "PostgreSQL could not be started: " << WhyNot().toStdString();
}

TestPgServer& PgServerTest::Server() { return *Shared(); }

void PgDatabaseTest::SetUp() {
    PgServerTest::SetUp();
    if (IsSkipped()) return;
    static int serial = 0;
    database_ = QStringLiteral("test%1").arg(++serial);
    ASSERT_TRUE(Server().CreateDatabase(database_)) << Server().LastError().toStdString();
}

QString PgDatabaseTest::Sql(const QString& sql) {
    QString out;
    EXPECT_TRUE(Server().Exec(sql, database_, &out)) << out.toStdString();
    return out.trimmed();
}
