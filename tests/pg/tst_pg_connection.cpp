// Connection URIs against a real server: what ParsePgUri reads and
// ApplyPgConnection hands to Qt's driver connects through the socket, keeps
// quotes and backslashes in option values, and a wrong password is refused
// with the driver's message.
#include "common/pg_connection.h"
#include "tests/pg/test_pg_server.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

using namespace zelvara;

namespace {

// A QPSQL connection made from a URI, removed again with the object.
class UriConnection {
public:
    explicit UriConnection(const QString& uri) : name_(QStringLiteral("uri%1").arg(++count_)) {
        QString why;
        const std::optional<PgConnection> connection = ParsePgUri(uri, &why);
        if (!connection) {
            error_ = why;
            return;
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name_);
        ApplyPgConnection(*connection, db);
        opened_ = db.open();
        if (!opened_) error_ = db.lastError().text();
    }
    ~UriConnection() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    bool Opened() const { return opened_; }
    const QString& Error() const { return error_; }
    // The first column of the first row of a query, or the error.
    QString Answer(const QString& sql) const {
        QSqlQuery query(QSqlDatabase::database(name_, false));
        if (!query.exec(sql) || !query.next()) return QStringLiteral("error: ") + query.lastError().text();
        return query.value(0).toString();
    }

private:
    static inline int count_ = 0;
    QString name_;
    bool opened_ = false;
    QString error_;
};

QString Encoded(const QString& text) { return QString::fromLatin1(QUrl::toPercentEncoding(text)); }

class PgConnectionOnServer : public PgServerTest {
protected:
    void SetUp() override {
        PgServerTest::SetUp();
        if (IsSkipped()) return;
        static const bool made = Server().CreateDatabase(QStringLiteral("uris"));
        ASSERT_TRUE(made) << Server().LastError().toStdString();
    }
};

}  // namespace

TEST_F(PgConnectionOnServer, ConnectsThroughTheSocketInEveryFormOfTheUri) {
    const TestPgServer& server = Server();
    const QString socketAsHost = QStringLiteral("postgresql://zelvara@") + Encoded(server.SocketDir()) +
                                 QLatin1Char(':') + QString::number(server.Port()) + QStringLiteral("/uris");
    const QString writtenBack = ToPgUri(*ParsePgUri(server.Uri(QStringLiteral("uris")), nullptr));
    for (const QString& uri : {server.Uri(QStringLiteral("uris")), socketAsHost, writtenBack}) {
        UriConnection connection(uri);
        ASSERT_TRUE(connection.Opened()) << uri.toStdString() << ": " << connection.Error().toStdString();
        EXPECT_EQ(connection.Answer(QStringLiteral("SELECT current_user || '/' || current_database()")),
                  QStringLiteral("zelvara/uris"))
            << uri.toStdString();
    }
}

TEST_F(PgConnectionOnServer, KeepsQuotesBackslashesAndBlanksInOptionValues) {
    for (const QString& name : {QStringLiteral("o'brien\\x"), QStringLiteral("two words"), QStringLiteral("\\'"),
                                QStringLiteral("a=b c='d'")}) {
        const QString uri = Server().Uri(QStringLiteral("uris")) + QStringLiteral("&application_name=") + Encoded(name);
        UriConnection connection(uri);
        ASSERT_TRUE(connection.Opened()) << uri.toStdString() << ": " << connection.Error().toStdString();
        EXPECT_EQ(connection.Answer(QStringLiteral("SELECT current_setting('application_name')")), name);
    }
    // A value with a blank that the server reads as its own command line.
    UriConnection withOptions(Server().Uri(QStringLiteral("uris")) + QStringLiteral("&options=") +
                              Encoded(QStringLiteral("-c statement_timeout=1234")));
    ASSERT_TRUE(withOptions.Opened()) << withOptions.Error().toStdString();
    EXPECT_EQ(withOptions.Answer(QStringLiteral("SHOW statement_timeout")), QStringLiteral("1234ms"));
}

TEST_F(PgConnectionOnServer, RefusesAWrongPasswordWithTheDriversMessage) {
    const QString uri = Server().Uri(QStringLiteral("uris"), QStringLiteral("zelvara_pw"));
    const QString user = QStringLiteral("//zelvara_pw@");
    UriConnection wrong(QString(uri).replace(user, QStringLiteral("//zelvara_pw:wrong@")));
    EXPECT_FALSE(wrong.Opened());
    EXPECT_TRUE(wrong.Error().contains(QLatin1String("password authentication failed for user \"zelvara_pw\"")))
        << wrong.Error().toStdString();

    UriConnection right(QString(uri).replace(user, QStringLiteral("//zelvara_pw:secret@")));
    EXPECT_TRUE(right.Opened()) << right.Error().toStdString();
    EXPECT_EQ(right.Answer(QStringLiteral("SELECT current_user")), QStringLiteral("zelvara_pw"));
}

// The refusals a user meets when trying a server, from the real driver's
// texts: each gets its own Japanese sentence (never the general one), and
// the driver's text follows under 詳細. A server of its own, as it is made to
// listen on TCP and stopped.
TEST(PgRefusals, EachRefusalGetsItsJapaneseSentence) {
    ZELVARA_PG_SERVER_OR_SKIP(server);
    ASSERT_TRUE(server->CreateDatabase(QStringLiteral("refusals"))) << server->LastError().toStdString();
    const QString port = QString::number(server->Port());
    const QString tcp = QStringLiteral("postgresql://zelvara@127.0.0.1:") + port + QStringLiteral("/refusals");
    const QString general = PgRefusalReason(QStringLiteral("something else"));
    const auto expectRefusal = [&](const QString& uri, const QString& said) {
        UriConnection connection(uri);
        ASSERT_FALSE(connection.Opened()) << uri.toStdString();
        const QString message = PgRefusalMessage(connection.Error());
        EXPECT_TRUE(PgRefusalReason(connection.Error()).contains(said)) << uri.toStdString() << "\n"
                                                                        << message.toStdString();
        EXPECT_NE(PgRefusalReason(connection.Error()), general) << uri.toStdString();
        const QString firstLine = PgErrorLines(connection.Error()).section(QLatin1Char('\n'), 0, 0);
        EXPECT_TRUE(message.contains(QStringLiteral("\n詳細: ") + firstLine)) << message.toStdString();
    };

    const QString wrongPassword = server->Uri(QStringLiteral("refusals"), QStringLiteral("zelvara_pw"))
                                      .replace(QStringLiteral("//zelvara_pw@"), QStringLiteral("//zelvara_pw:wrong@"));
    expectRefusal(wrongPassword, QStringLiteral("パスワードが違います"));
    expectRefusal(server->Uri(QStringLiteral("no_such_register")),
                  QStringLiteral("そのデータベースはサーバーにありません"));
    expectRefusal(server->Uri(QStringLiteral("refusals"), QStringLiteral("nobody_here")),
                  QStringLiteral("そのユーザーはサーバーに登録されていません"));
    expectRefusal(QStringLiteral("postgresql://zelvara@no-such-host.invalid/refusals"),
                  QStringLiteral("ホストが見つかりません"));

    // On TCP, where this server takes only local connections: what a server
    // that wants TLS says to a connection without it, and what libpq says of
    // a server without TLS when it is required.
    ASSERT_TRUE(server->Exec(QStringLiteral("ALTER SYSTEM SET listen_addresses = '127.0.0.1'")))
        << server->LastError().toStdString();
    ASSERT_TRUE(server->Restart()) << server->LastError().toStdString();
    expectRefusal(tcp + QStringLiteral("?sslmode=disable"),
                  QStringLiteral("暗号化（TLS）なしの接続を受け付けていません"));
    expectRefusal(tcp + QStringLiteral("?sslmode=require"), QStringLiteral("暗号化（TLS）に対応していません"));

    ASSERT_TRUE(server->Stop()) << server->LastError().toStdString();
    expectRefusal(server->Uri(QStringLiteral("refusals")), QStringLiteral("サーバーが動いていない"));
    expectRefusal(tcp, QStringLiteral("サーバーが動いていない"));
}
