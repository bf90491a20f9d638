// libpq connection URIs: read as libpq reads them, refused with a reason that
// never repeats the password, written back without the password, shown on a
// status line and handed to Qt's driver with every option quoted.
#include "common/pg_connection.h"

#include <QLibrary>
#include <QMap>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QTest>
#include <QUrl>

#include <clocale>

using namespace zelvara;

namespace {

// The options as one line, "key=value&key=value", for comparing.
QString Options(const PgConnection& c) {
    QStringList parts;
    for (const auto& [key, value] : c.options) parts.append(key + QLatin1Char('=') + value);
    return parts.join(QLatin1Char('&'));
}

PgConnection Make(const QString& host, int port, const QString& database, const QString& user,
                  const QList<QPair<QString, QString>>& options = {}) {
    PgConnection c;
    c.host = host;
    c.port = port;
    c.database = database;
    c.user = user;
    c.options = options;
    return c;
}

// libpq's own reading of a connection string, from the libpq that Qt's
// driver loads (PQconninfoParse), as keyword → value; nullopt when libpq
// refuses it.
class Libpq {
public:
    Libpq() : library_(QStringLiteral("pq"), 5) {
        parse_ = reinterpret_cast<Parse>(library_.resolve("PQconninfoParse"));
        free_ = reinterpret_cast<Free>(library_.resolve("PQconninfoFree"));
        freeMemory_ = reinterpret_cast<FreeMemory>(library_.resolve("PQfreemem"));
    }
    bool Loaded() const { return parse_ && free_ && freeMemory_; }
    QString Error() const { return library_.errorString(); }

    std::optional<QMap<QString, QString>> Read(const QString& uri) const {
        char* error = nullptr;
        Option* options = parse_(uri.toUtf8().constData(), &error);
        if (error) freeMemory_(error);
        if (!options) return std::nullopt;
        QMap<QString, QString> values;
        for (const Option* o = options; o->keyword; ++o) {
            if (o->val) values.insert(QString::fromUtf8(o->keyword), QString::fromUtf8(o->val));
        }
        free_(options);
        return values;
    }

private:
    // PQconninfoOption of libpq-fe.h.
    struct Option {
        char* keyword;
        char* envvar;
        char* compiled;
        char* val;
        char* label;
        char* dispchar;
        int dispsize;
    };
    using Parse = Option* (*)(const char*, char**);
    using Free = void (*)(Option*);
    using FreeMemory = void (*)(void*);
    QLibrary library_;
    Parse parse_ = nullptr;
    Free free_ = nullptr;
    FreeMemory freeMemory_ = nullptr;
};

// The connection as libpq keywords; a port list of commas alone (every host
// on the default port) is the same as none.
QMap<QString, QString> Keywords(const PgConnection& c) {
    QMap<QString, QString> values;
    const auto put = [&](const char* key, const QString& value) {
        if (!value.isEmpty()) values.insert(QLatin1String(key), value);
    };
    put("host", c.host);
    put("port", c.port > 0 ? QString::number(c.port) : QString());
    put("dbname", c.database);
    put("user", c.user);
    put("password", c.password);
    for (const auto& [key, value] : c.options) values.insert(key, value);
    return values;
}

// libpq's values as fields can hold them: an empty host, port, database,
// user or password is the default, as libpq takes it; a port list of commas
// alone puts every host on the default port.
QMap<QString, QString> AsFields(QMap<QString, QString> values) {
    const QString ports = values.value(QStringLiteral("port"));
    if (ports.count(QLatin1Char(',')) == ports.size()) values.remove(QStringLiteral("port"));
    for (const char* field : {"host", "dbname", "user", "password"}) {
        if (values.value(QLatin1String(field)).isEmpty()) values.remove(QLatin1String(field));
    }
    return values;
}

}  // namespace

Q_DECLARE_METATYPE(zelvara::PgConnection)

class TestPgConnection : public QObject {
    Q_OBJECT
private slots:
    void reads_data() {
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("options");
        QTest::newRow("plain") << "postgresql://reader@db.example/zelvara"
                               << "db.example" << -1 << "zelvara"
                               << "reader"
                               << ""
                               << "";
        QTest::newRow("short scheme, port") << "postgres://reader@db.example:5433/zelvara"
                                            << "db.example" << 5433 << "zelvara"
                                            << "reader"
                                            << ""
                                            << "";
        QTest::newRow("socket in the parameters") << "postgresql://reader@/zelvara?host=/var/run/postgresql&port=5433"
                                                  << "/var/run/postgresql" << 5433 << "zelvara"
                                                  << "reader"
                                                  << ""
                                                  << "";
        QTest::newRow("socket percent-encoded as the host") << "postgresql://%2Fvar%2frun%2Fpostgresql/zelvara"
                                                            << "/var/run/postgresql" << -1 << "zelvara"
                                                            << ""
                                                            << ""
                                                            << "";
        QTest::newRow("IPv6 and port") << "postgresql://[2001:db8::1]:5432/zelvara"
                                       << "2001:db8::1" << 5432 << "zelvara"
                                       << ""
                                       << ""
                                       << "";
        QTest::newRow("IPv6 alone") << "postgresql://[::1]"
                                    << "::1" << -1 << ""
                                    << ""
                                    << ""
                                    << "";
        QTest::newRow("parameters override")
            << "postgresql://a:p1@h1:1111/d1?host=h2&port=2222&user=b&dbname=d2&password=p2"
            << "h2" << 2222 << "d2"
            << "b"
            << "p2"
            << "";
        QTest::newRow("TLS and other options")
            << "postgresql://reader@db/zelvara?sslmode=verify-full&sslrootcert=%2Fetc%2Fca.pem&connect_timeout=3"
               "&application_name=desk%201"
            << "db" << -1 << "zelvara"
            << "reader"
            << ""
            << "sslmode=verify-full&sslrootcert=/etc/ca.pem&connect_timeout=3&application_name=desk 1";
        QTest::newRow("password kept") << "postgresql://reader:s%40cr:et@db/zelvara"
                                       << "db" << -1 << "zelvara"
                                       << "reader"
                                       << "s@cr:et"
                                       << "";
        QTest::newRow("password without user") << "postgresql://:pw@db"
                                               << "db" << -1 << ""
                                               << ""
                                               << "pw"
                                               << "";
        QTest::newRow("several hosts, a port each") << "postgresql://h1:5432,h2:5433/db"
                                                    << "h1,h2" << -1 << "db"
                                                    << ""
                                                    << ""
                                                    << "port=5432,5433";
        QTest::newRow("several hosts, the second's port") << "postgresql://h1,[::1]:5433/db"
                                                          << "h1,::1" << -1 << "db"
                                                          << ""
                                                          << ""
                                                          << "port=,5433";
        QTest::newRow("several hosts, default ports") << "postgresql://h1,h2/db"
                                                      << "h1,h2" << -1 << "db"
                                                      << ""
                                                      << ""
                                                      << "";
        QTest::newRow("nothing but the scheme") << "postgresql://"
                                                << "" << -1 << ""
                                                << ""
                                                << ""
                                                << "";
        QTest::newRow("database alone") << "postgresql:///zelvara"
                                        << "" << -1 << "zelvara"
                                        << ""
                                        << ""
                                        << "";
        QTest::newRow("blanks around") << "  postgresql://db/zelvara \n"
                                       << "db" << -1 << "zelvara"
                                       << ""
                                       << ""
                                       << "";
        QTest::newRow("Japanese database name") << "postgresql://db/%E5%90%8D%E7%B0%BF"
                                                << "db" << -1 << "名簿"
                                                << ""
                                                << ""
                                                << "";
        QTest::newRow("the later of a key twice") << "postgresql://db/?application_name=a&application_name=b"
                                                  << "db" << -1 << ""
                                                  << ""
                                                  << ""
                                                  << "application_name=b";
        QTest::newRow("JDBC's ssl=true") << "postgresql://db?ssl=true"
                                         << "db" << -1 << ""
                                         << ""
                                         << ""
                                         << "sslmode=require";
        QTest::newRow("old requiressl") << "postgresql://db?requiressl=0"
                                        << "db" << -1 << ""
                                        << ""
                                        << ""
                                        << "sslmode=prefer";
        QTest::newRow("no '+' for blank") << "postgresql://db?application_name=a+b"
                                          << "db" << -1 << ""
                                          << ""
                                          << ""
                                          << "application_name=a+b";
        // libpq looks for user@ up to the first '/', so an '@' in the
        // parameters of a URI without one ends a user name.
        QTest::newRow("libpq's '@' before any '/'") << "postgresql://db?application_name=a@b"
                                                    << "b" << -1 << ""
                                                    << "db?application_name=a"
                                                    << ""
                                                    << "";
    }
    void reads() {
        QFETCH(QString, uri);
        QString why;
        const std::optional<PgConnection> c = ParsePgUri(uri, &why);
        QVERIFY2(c, qPrintable(why));
        QTEST(c->host, "host");
        QTEST(c->port, "port");
        QTEST(c->database, "database");
        QTEST(c->user, "user");
        QTEST(c->password, "password");
        QTEST(Options(*c), "options");

        // And libpq reads the same.
        const Libpq libpq;
        QVERIFY2(libpq.Loaded(), qPrintable(libpq.Error()));
        const auto theirs = libpq.Read(uri.trimmed());
        QVERIFY(theirs);
        QCOMPARE(Keywords(*c), AsFields(*theirs));
    }

    // Written back and read again, the same connection, less the password,
    // which the written URI never holds.
    void roundTrip_data() { reads_data(); }
    void roundTrip() {
        QFETCH(QString, uri);
        QFETCH(QString, password);
        PgConnection c = *ParsePgUri(uri, nullptr);
        const QString written = ToPgUri(c);
        if (!password.isEmpty())
            QVERIFY2(!written.contains(password) && !written.contains(QUrl::toPercentEncoding(password)),
                     qPrintable(written));
        QString why;
        const std::optional<PgConnection> again = ParsePgUri(written, &why);
        QVERIFY2(again, qPrintable(written + QStringLiteral(": ") + why));
        c.password.clear();
        QCOMPARE(again->host, c.host);
        QCOMPARE(again->port, c.port);
        QCOMPARE(again->database, c.database);
        QCOMPARE(again->user, c.user);
        QCOMPARE(again->password, QString());
        QCOMPARE(Options(*again), Options(c));
    }

    void refuses_data() {
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QString>("why");
        const QString form = QStringLiteral("（例：postgresql://reader@host/zelvara）");
        QTest::newRow("key=value string") << "host=db password=topsecret dbname=zelvara" << form;
        QTest::newRow("empty") << "" << form;
        QTest::newRow("other scheme") << "http://reader:topsecret@db/zelvara" << form;
        QTest::newRow("capital scheme") << "POSTGRESQL://db/zelvara" << form;
        QTest::newRow("unknown keys named") << "postgresql://u:topsecret@db/zelvara?sslmode=require&colour=red&size=2"
                                            << "PostgreSQL の知らない項目があります：「colour」「size」";
        QTest::newRow("ssl other than true") << "postgresql://db?ssl=false"
                                             << "「ssl」";
        QTest::newRow("port not a number") << "postgresql://u:topsecret@db:abc/zelvara"
                                           << "ポート番号が数ではありません";
        QTest::newRow("password read as the port, no host") << "postgresql://reader:topsecret"
                                                            << "ポート番号が数ではありません";
        QTest::newRow("port 0") << "postgresql://db:0/zelvara"
                                << "ポート番号「0」";
        QTest::newRow("port 65536") << "postgresql://db:65536/zelvara"
                                    << "ポート番号「65536」";
        QTest::newRow("port with sign") << "postgresql://db/zelvara?port=%2B5432"
                                        << "ポート番号が数ではありません";
        QTest::newRow("second host's port") << "postgresql://h1:5432,h2:x/db"
                                            << "ポート番号が数ではありません";
        QTest::newRow("more ports than hosts") << "postgresql://db/zelvara?port=5432,5433"
                                               << "ホストが 1 個なのにポート番号が 2 個";
        QTest::newRow("IPv6 not closed") << "postgresql://[::1/zelvara"
                                         << "「]」がありません";
        QTest::newRow("IPv6 empty") << "postgresql://[]/zelvara"
                                    << "「[]」の中に";
        QTest::newRow("after IPv6") << "postgresql://[::1]x/zelvara"
                                    << "「]」の後に「x」";
        QTest::newRow("after IPv6, a letter beyond ASCII") << "postgresql://[::1]é/zelvara"
                                                           << "「]」の後に「é」";
        QTest::newRow("bad percent in database") << "postgresql://db/zel%zzvara"
                                                 << "データベース名の「%」の後に";
        QTest::newRow("percent at the end") << "postgresql://u:topsecret%4@db"
                                            << "パスワードの「%」の後に";
        QTest::newRow("%00") << "postgresql://d%00b/zelvara"
                             << "ホスト名に %00";
        QTest::newRow("parameter without '='") << "postgresql://db/zelvara?sslmode"
                                               << "「sslmode」に「=」がありません";
        QTest::newRow("parameter with two '='") << "postgresql://db/zelvara?password=top=secret"
                                                << "項目「password」に「=」が 2 つ";
        QTest::newRow("';' in an option") << "postgresql://db/zelvara?application_name=a%3Bb"
                                          << "項目「application_name」の値に「;」";
        QTest::newRow("unknown sslmode") << "postgresql://db/zelvara?sslmode=on"
                                         << "sslmode「on」";
        QTest::newRow("empty sslmode") << "postgresql://db/zelvara?sslmode="
                                       << "sslmode「」";
    }
    void refuses() {
        QFETCH(QString, uri);
        QFETCH(QString, why);
        QString reason;
        QVERIFY(!ParsePgUri(uri, &reason));
        QVERIFY2(reason.contains(why), qPrintable(reason));
        QVERIFY2(!reason.contains(QLatin1String("secret")), qPrintable(reason));
    }

    // libpq translates its messages into the user's language (its Japanese
    // catalogue comes with Debian's libpq5); the reason is the same.
    void refusesTheSameInJapanese() {
        const QByteArray language = qgetenv("LANGUAGE");
        const QByteArray locale = setlocale(LC_ALL, nullptr);
        qputenv("LANGUAGE", "ja");
        setlocale(LC_ALL, "C.UTF-8");  // not "C", which leaves LANGUAGE unread
        QString reason;
        const bool read = ParsePgUri(QStringLiteral("postgresql://db/zel%zzvara"), &reason).has_value();
        qputenv("LANGUAGE", language);
        setlocale(LC_ALL, locale.constData());
        QVERIFY(!read);
        QVERIFY2(reason.contains(QStringLiteral("データベース名の「%」の後に")), qPrintable(reason));
    }

    void writes_data() {
        QTest::addColumn<PgConnection>("connection");
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QString>("description");
        PgConnection withPassword =
            Make(QStringLiteral("db.example"), 5432, QStringLiteral("zelvara"), QStringLiteral("reader"),
                 {{QStringLiteral("sslmode"), QStringLiteral("verify-full")}});
        withPassword.password = QStringLiteral("topsecret");
        QTest::newRow("host, port, TLS, password")
            << withPassword << "postgresql://reader@db.example:5432/zelvara?sslmode=verify-full"
            << "zelvara（reader@db.example:5432）";
        QTest::newRow("socket folder") << Make(QStringLiteral("/var/run/postgresql"), 5433, QStringLiteral("zelvara"),
                                               QStringLiteral("reader"))
                                       << "postgresql://reader@/zelvara?host=%2Fvar%2Frun%2Fpostgresql&port=5433"
                                       << "zelvara（reader@/var/run/postgresql:5433）";
        QTest::newRow("default socket") << Make(QString(), -1, QStringLiteral("zelvara"), QStringLiteral("reader"))
                                        << "postgresql://reader@/zelvara"
                                        << "zelvara（reader@既定のソケット）";
        QTest::newRow("no database: the user's")
            << Make(QStringLiteral("db"), -1, QString(), QStringLiteral("reader")) << "postgresql://reader@db/"
            << "reader（reader@db）";
        QTest::newRow("IPv6") << Make(QStringLiteral("::1"), 5432, QStringLiteral("z"), QString())
                              << "postgresql://[::1]:5432/z"
                              << "z（[::1]:5432）";
        QTest::newRow("several hosts, one port")
            << Make(QStringLiteral("h1,h2"), 5433, QStringLiteral("z"), QString()) << "postgresql://h1,h2/z?port=5433"
            << "z（h1,h2:5433）";
        QTest::newRow("several hosts and ports") << Make(QStringLiteral("h1,h2"), -1, QStringLiteral("z"), QString(),
                                                         {{QStringLiteral("port"), QStringLiteral("5432,5433")}})
                                                 << "postgresql://h1:5432,h2:5433/z"
                                                 << "z（h1:5432,h2:5433）";
        QTest::newRow("characters to encode")
            << Make(QStringLiteral("db"), -1, QStringLiteral("名簿 1"), QStringLiteral("o'brien@home"),
                    {{QStringLiteral("application_name"), QStringLiteral("a&b=c")}})
            << "postgresql://o%27brien%40home@db/%E5%90%8D%E7%B0%BF%201?application_name=a%26b%3Dc"
            << "名簿 1（o'brien@home@db）";
    }
    void writes() {
        QFETCH(PgConnection, connection);
        QTEST(ToPgUri(connection), "uri");
        QTEST(DescribePgConnection(connection), "description");
    }

    // What libpq itself reads from URIs put together at random from the
    // characters that matter: the same values, and a refusal wherever libpq
    // refuses. Where only this reader refuses, it is for a port that libpq
    // would refuse on connecting.
    void readsAsLibpqDoes() {
        const Libpq libpq;
        QVERIFY2(libpq.Loaded(), qPrintable(QStringLiteral("libpq (package libpq5) is missing: ") + libpq.Error()));
        QStringList uris;
        const QStringList tokens = {"a",     "b",     "1",     "@",       ":",   "/",   "?",        ",",
                                    "=",     "&",     "%2F",   "%",       "[",   "]",   "::1",      "5432",
                                    "host=", "port=", "user=", "dbname=", "%41", "%00", "password="};
        QRandomGenerator random(20260);
        for (int n = 0; n < 4000; ++n) {
            QString uri = QStringLiteral("postgresql://");
            const int length = random.bounded(1, 9);
            for (int k = 0; k < length; ++k) uri += tokens[random.bounded(int(tokens.size()))];
            uris.append(uri);
        }
        int bothRead = 0;
        for (const QString& uri : uris) {
            QString why;
            const std::optional<PgConnection> ours = ParsePgUri(uri, &why);
            const std::optional<QMap<QString, QString>> theirs = libpq.Read(uri);
            if (!theirs) {
                QVERIFY2(!ours, qPrintable(uri + QStringLiteral(" is refused by libpq")));
                continue;
            }
            if (!ours) {
                QVERIFY2(why.contains(QStringLiteral("ポート番号")), qPrintable(uri + QStringLiteral(": ") + why));
                continue;
            }
            ++bothRead;
            QCOMPARE(Keywords(*ours), AsFields(*theirs));
        }
        QVERIFY2(bothRead > 500, qPrintable(QString::number(bothRead)));
    }

    // Fields go to Qt's own fields; options are quoted as libpq reads them,
    // and a connection without a timeout gets one.
    void appliesToQtDriver_data() {
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QString>("connectOptions");
        QTest::newRow("no options") << "postgresql://reader:pw@db:5433/zelvara"
                                    << "connect_timeout='5'";
        QTest::newRow("quote and backslash")
            << "postgresql://reader:pw@db:5433/zelvara?sslmode=require&application_name=o%27brien%5Cx"
            << "sslmode='require' application_name='o\\'brien\\\\x' connect_timeout='5'";
        QTest::newRow("own timeout") << "postgresql://reader:pw@db:5433/zelvara?connect_timeout=30"
                                     << "connect_timeout='30'";
        QTest::newRow("empty timeout is a timeout") << "postgresql://reader:pw@db:5433/zelvara?connect_timeout="
                                                    << "connect_timeout=''";
    }
    void appliesToQtDriver() {
        QFETCH(QString, uri);
        QFETCH(QString, connectOptions);
        const QString name = QStringLiteral("apply-%1").arg(QTest::currentDataTag());
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            ApplyPgConnection(*ParsePgUri(uri, nullptr), db);
            QCOMPARE(db.hostName(), QStringLiteral("db"));
            QCOMPARE(db.port(), 5433);
            QCOMPARE(db.databaseName(), QStringLiteral("zelvara"));
            QCOMPARE(db.userName(), QStringLiteral("reader"));
            QCOMPARE(db.password(), QStringLiteral("pw"));
            QCOMPARE(db.connectOptions(), connectOptions);
        }
        QSqlDatabase::removeDatabase(name);
    }
};

QTEST_GUILESS_MAIN(TestPgConnection)
#include "tst_pg_connection.moc"
