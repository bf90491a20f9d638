#include "pg_connection.h"

#include <QByteArray>
#include <QSqlDatabase>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace zelvara {
namespace {

// The libpq keywords of PostgreSQL 15 (PQconndefaults()) besides host, port,
// dbname, user and password, which have fields of their own.
const char* const kOptionKeywords[] = {
    "service", "passfile", "channel_binding", "connect_timeout", "hostaddr", "client_encoding", "options",
    "application_name", "fallback_application_name", "keepalives", "keepalives_idle", "keepalives_interval",
    "keepalives_count", "tcp_user_timeout", "sslmode", "sslcompression", "sslcert", "sslkey", "sslpassword",
    "sslrootcert", "sslcrl", "sslcrldir", "sslsni", "requirepeer", "ssl_min_protocol_version",
    "ssl_max_protocol_version", "gssencmode", "krbsrvname", "gsslib", "replication", "target_session_attrs",
};

const char* const kSslModes[] = {"disable", "allow", "prefer", "require", "verify-ca", "verify-full"};

// Whether c ends a part of the URI: the end, or one of the characters in set.
bool Stops(char c, const char* set) { return !c || std::strchr(set, c); }

const QString kPortKey = QStringLiteral("port");
const QString kTimeoutKey = QStringLiteral("connect_timeout");
const QString kDefaultTimeout = QStringLiteral("5");

bool IsOneOf(const QString& word, const auto& list)
{
    return std::any_of(std::begin(list), std::end(list), [&](const char* w) { return word == QLatin1String(w); });
}

const QString* FindOption(const PgConnection& c, const QString& key)
{
    for (const auto& option : c.options) {
        if (option.first == key)
            return &option.second;
    }
    return nullptr;
}

// A later value replaces an earlier one, as libpq keeps the last.
void SetOption(PgConnection& c, const QString& key, const QString& value)
{
    for (auto& option : c.options) {
        if (option.first == key) {
            option.second = value;
            return;
        }
    }
    c.options.append({key, value});
}

// Reads a URI the way libpq's conninfo_uri_parse_options() does, byte by
// byte; the values are checked afterwards.
class UriReader {
public:
    explicit UriReader(QByteArray uri) : uri_(std::move(uri)) {}

    bool Read(qsizetype prefix)
    {
        i_ = prefix;
        return ReadCredentials() && ReadHosts() && ReadDatabase() && ReadParameters();
    }

    PgConnection connection;
    QString ports;
    QStringList unknown;
    QString error;

private:
    char At(qsizetype k) const { return k < uri_.size() ? uri_.at(k) : '\0'; }
    QByteArray Slice(qsizetype from, qsizetype to) const { return uri_.mid(from, to - from); }

    bool Fail(const QString& message)
    {
        error = message;
        return false;
    }

    // Percent-decoding: "%" and two hex digits, never %00.
    bool Decode(const QByteArray& raw, const QString& what, QString* out)
    {
        QByteArray bytes;
        for (qsizetype k = 0; k < raw.size(); ++k) {
            if (raw.at(k) != '%') {
                bytes.append(raw.at(k));
                continue;
            }
            if (k + 2 >= raw.size() || !isxdigit(static_cast<unsigned char>(raw.at(k + 1))) ||
                !isxdigit(static_cast<unsigned char>(raw.at(k + 2))))
                return Fail(QStringLiteral("%1の「%」の後に 16 進数 2 桁がありません。").arg(what));
            const int byte = raw.mid(k + 1, 2).toInt(nullptr, 16);
            if (byte == 0)
                return Fail(what + QStringLiteral("に %00 は使えません。"));
            bytes.append(static_cast<char>(byte));
            k += 2;
        }
        *out = QString::fromUtf8(bytes);
        return true;
    }

    void Store(QString key, QString value)
    {
        // libpq still takes the old requiressl=1 as sslmode=require.
        if (key == QLatin1String("requiressl")) {
            key = QStringLiteral("sslmode");
            value = value.startsWith(QLatin1Char('1')) ? QStringLiteral("require") : QStringLiteral("prefer");
        }
        if (key == QLatin1String("host"))
            connection.host = value;
        else if (key == kPortKey)
            ports = value;
        else if (key == QLatin1String("dbname"))
            connection.database = value;
        else if (key == QLatin1String("user"))
            connection.user = value;
        else if (key == QLatin1String("password"))
            connection.password = value;
        else if (IsOneOf(key, kOptionKeywords))
            SetOption(connection, key, value);
        else if (!unknown.contains(key))
            unknown.append(key);
    }

    bool DecodeAndStore(const QByteArray& raw, const char* key, const QString& what)
    {
        QString value;
        if (raw.isEmpty())
            return true;
        if (!Decode(raw, what, &value))
            return false;
        Store(QLatin1String(key), value);
        return true;
    }

    // user[:password]@, when an '@' comes before the first '/'.
    bool ReadCredentials()
    {
        qsizetype p = i_;
        while (At(p) && At(p) != '@' && At(p) != '/')
            ++p;
        if (At(p) != '@')
            return true;
        qsizetype end = i_;
        while (At(end) != ':' && At(end) != '@')
            ++end;
        if (!DecodeAndStore(Slice(i_, end), "user", QStringLiteral("ユーザー名")))
            return false;
        if (At(end) == ':') {
            const qsizetype from = end + 1;
            end = p;
            if (!DecodeAndStore(Slice(from, end), "password", QStringLiteral("パスワード")))
                return false;
        }
        i_ = end + 1;
        return true;
    }

    // host[:port] or [ipv6][:port], several separated by ','.
    bool ReadHosts()
    {
        QByteArray hosts;
        QByteArray portList;
        for (;;) {
            if (At(i_) == '[') {
                const qsizetype from = ++i_;
                while (At(i_) && At(i_) != ']')
                    ++i_;
                if (!At(i_))
                    return Fail(QStringLiteral("IPv6 のアドレスを閉じる「]」がありません。"));
                if (i_ == from)
                    return Fail(QStringLiteral("「[]」の中に IPv6 のアドレスがありません。"));
                hosts += Slice(from, i_++);
                if (!Stops(At(i_), ":/?,"))
                    return Fail(QStringLiteral("IPv6 のアドレスの「]」の後に「%1」があります"
                                               "（「:」「/」「?」「,」のどれかが来るはずです）。")
                                    .arg(QLatin1Char(At(i_))));
            } else {
                const qsizetype from = i_;
                while (!Stops(At(i_), ":/?,"))
                    ++i_;
                hosts += Slice(from, i_);
            }
            prev_ = At(i_);
            if (prev_ == ':') {
                const qsizetype from = ++i_;
                while (!Stops(At(i_), "/?,"))
                    ++i_;
                portList += Slice(from, i_);
                prev_ = At(i_);
            }
            if (prev_ != ',')
                break;
            ++i_;
            hosts += ',';
            portList += ',';
        }
        return DecodeAndStore(hosts, "host", QStringLiteral("ホスト名")) &&
               DecodeAndStore(portList, "port", QStringLiteral("ポート番号"));
    }

    bool ReadDatabase()
    {
        if (!prev_ || prev_ == '?')
            return true;
        const qsizetype from = ++i_;
        while (At(i_) && At(i_) != '?')
            ++i_;
        prev_ = At(i_);
        return DecodeAndStore(Slice(from, i_), "dbname", QStringLiteral("データベース名"));
    }

    // key=value&key=value after '?'.
    bool ReadParameters()
    {
        if (!prev_)
            return true;
        ++i_;
        while (At(i_)) {
            const qsizetype from = i_;
            qsizetype equals = -1;
            for (;; ++i_) {
                if (At(i_) == '=') {
                    if (equals >= 0)
                        return Fail(QStringLiteral("項目「%1」に「=」が 2 つあります。")
                                        .arg(QString::fromUtf8(Slice(from, equals))));
                    equals = i_;
                } else if (At(i_) == '&' || !At(i_)) {
                    break;
                }
            }
            if (equals < 0)
                return Fail(QStringLiteral("「%1」に「=」がありません（項目=値 の形で書きます）。")
                                .arg(QString::fromUtf8(Slice(from, i_))));
            QString key;
            QString value;
            if (!Decode(Slice(from, equals), QStringLiteral("項目名"), &key) ||
                !Decode(Slice(equals + 1, i_), QStringLiteral("項目「%1」の値").arg(key), &value))
                return false;
            if (At(i_))
                ++i_;
            // The JDBC spelling that libpq also takes.
            if (key == QLatin1String("ssl") && value == QLatin1String("true")) {
                key = QStringLiteral("sslmode");
                value = QStringLiteral("require");
            }
            Store(key, value);
        }
        return true;
    }

    QByteArray uri_;
    qsizetype i_ = 0;
    char prev_ = '\0';
};

// The values libpq would only refuse when connecting, and what Qt's driver
// cannot pass on. Puts the port into the connection.
QString CheckValues(UriReader& reader)
{
    PgConnection& c = reader.connection;
    if (!reader.unknown.isEmpty())
        return QStringLiteral("接続先の URI に PostgreSQL の知らない項目があります：「%1」。")
            .arg(reader.unknown.join(QStringLiteral("」「")));
    const QStringList ports = reader.ports.split(QLatin1Char(','));
    for (const QString& port : ports) {
        if (port.isEmpty())
            continue;
        // What is not digits is not repeated: without a host, a password
        // ("postgresql://reader:secret") reads as the port.
        if (!std::all_of(port.begin(), port.end(), [](QChar ch) { return ch >= u'0' && ch <= u'9'; }))
            return QStringLiteral("ポート番号が数ではありません（1 から 65535 までの数を書きます）。");
        const int number = port.toInt();
        if (number < 1 || number > 65535)
            return QStringLiteral("ポート番号「%1」は 1 から 65535 までの数ではありません。").arg(port);
    }
    const qsizetype hostCount = c.host.split(QLatin1Char(',')).size();
    if (ports.size() > 1 && ports.size() != hostCount)
        return QStringLiteral("ホストが %1 個なのにポート番号が %2 個あります。").arg(hostCount).arg(ports.size());
    if (ports.size() == 1 && !reader.ports.isEmpty())
        c.port = reader.ports.toInt();
    else if (std::any_of(ports.begin(), ports.end(), [](const QString& p) { return !p.isEmpty(); }))
        SetOption(c, kPortKey, reader.ports);

    const QString* sslMode = FindOption(c, QStringLiteral("sslmode"));
    if (sslMode && !IsOneOf(*sslMode, kSslModes))
        return QStringLiteral("TLS の設定 sslmode「%1」は disable、allow、prefer、require、verify-ca、verify-full "
                              "のどれかです。")
            .arg(*sslMode);
    for (const auto& [key, value] : c.options) {
        if (value.contains(QLatin1Char(';')))
            return QStringLiteral("項目「%1」の値に「;」は使えません（Qt の PostgreSQL ドライバーが空白に変えてしまいます）。")
                .arg(key);
    }
    return QString();
}

QString Encode(const QString& text, const QByteArray& keep = QByteArray())
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text, keep));
}

QString PortText(const PgConnection& c)
{
    const QString* ports = FindOption(c, kPortKey);
    return c.port > 0 ? QString::number(c.port) : ports ? *ports : QString();
}

// "host:port" for each host, paired as libpq pairs them; a single port for
// several hosts stays apart (portApart).
QStringList HostEntries(const PgConnection& c, bool encode, QString* portApart)
{
    const QStringList hosts = c.host.split(QLatin1Char(','));
    const QString portText = PortText(c);
    const QStringList ports = portText.isEmpty() ? QStringList() : portText.split(QLatin1Char(','));
    const bool paired = ports.size() == hosts.size();
    *portApart = paired ? QString() : portText;
    QStringList entries;
    for (qsizetype k = 0; k < hosts.size(); ++k) {
        const QString& host = hosts[k];
        QString entry = encode ? Encode(host, ":") : host;
        if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('/')))
            entry = QLatin1Char('[') + entry + QLatin1Char(']');
        if (paired && !ports[k].isEmpty())
            entry += QLatin1Char(':') + ports[k];
        entries.append(entry);
    }
    return entries;
}

// A value in libpq's conninfo quoting: '...' with \ and ' escaped.
QString QuoteConninfo(QString value)
{
    value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    value.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + value + QLatin1Char('\'');
}

}  // namespace

std::optional<PgConnection> ParsePgUri(const QString& uri, QString* why)
{
    const QByteArray bytes = uri.trimmed().toUtf8();
    qsizetype prefix = 0;
    for (const char* scheme : {"postgresql://", "postgres://"}) {
        if (bytes.startsWith(scheme))
            prefix = qstrlen(scheme);
    }
    QString error;
    UriReader reader(bytes);
    if (prefix == 0)
        error = QStringLiteral("接続先は postgresql://ユーザー@ホスト/データベース の形の URI で書いてください"
                               "（例：postgresql://reader@host/zelvara）。");
    else if (!reader.Read(prefix))
        error = reader.error;
    else
        error = CheckValues(reader);
    if (!error.isEmpty()) {
        if (why)
            *why = error;
        return std::nullopt;
    }
    return reader.connection;
}

QString ToPgUri(const PgConnection& c)
{
    QList<QPair<QString, QString>> query;
    QString uri = QStringLiteral("postgresql://");
    if (!c.user.isEmpty())
        uri += Encode(c.user) + QLatin1Char('@');
    const QStringList hosts = c.host.split(QLatin1Char(','));
    if (std::any_of(hosts.begin(), hosts.end(), [](const QString& h) { return h.startsWith(QLatin1Char('/')); })) {
        // A socket folder reads better as a parameter than percent-encoded
        // in place of the host name.
        query.append({QStringLiteral("host"), c.host});
        if (!PortText(c).isEmpty())
            query.append({kPortKey, PortText(c)});
    } else {
        QString portApart;
        uri += HostEntries(c, true, &portApart).join(QLatin1Char(','));
        if (!portApart.isEmpty())
            query.append({kPortKey, portApart});
    }
    // Always a '/': libpq would take an '@' in the parameters for the end
    // of a user name if none came before it.
    uri += QLatin1Char('/') + Encode(c.database);
    for (const auto& option : c.options) {
        if (option.first != kPortKey)
            query.append(option);
    }
    QStringList parameters;
    for (const auto& [key, value] : query)
        parameters.append(Encode(key) + QLatin1Char('=') + Encode(value));
    if (!parameters.isEmpty())
        uri += QLatin1Char('?') + parameters.join(QLatin1Char('&'));
    return uri;
}

QString DescribePgConnection(const PgConnection& c)
{
    QString database = c.database;
    if (database.isEmpty())
        database = c.user.isEmpty() ? QStringLiteral("既定のデータベース") : c.user;
    QString portApart;
    QStringList entries = HostEntries(c, false, &portApart);
    for (QString& entry : entries) {
        if (entry.isEmpty() || entry.startsWith(QLatin1Char(':')))
            entry.prepend(QStringLiteral("既定のソケット"));
    }
    QString where = entries.join(QLatin1Char(','));
    if (!portApart.isEmpty())
        where += QLatin1Char(':') + portApart;
    if (!c.user.isEmpty())
        where.prepend(c.user + QLatin1Char('@'));
    return database + QStringLiteral("（") + where + QStringLiteral("）");
}

void ApplyPgConnection(const PgConnection& c, QSqlDatabase& db)
{
    db.setHostName(c.host);
    db.setPort(c.port);
    db.setDatabaseName(c.database);
    db.setUserName(c.user);
    db.setPassword(c.password);
    // Qt's driver puts these after its own quoted fields and only turns each
    // ';' into a blank, so the values are quoted here.
    QStringList options;
    for (const auto& [key, value] : c.options)
        options.append(key + QLatin1Char('=') + QuoteConninfo(value));
    if (!FindOption(c, kTimeoutKey))
        options.append(kTimeoutKey + QLatin1Char('=') + QuoteConninfo(kDefaultTimeout));
    db.setConnectOptions(options.join(QLatin1Char(' ')));
}

bool PgWantsPassword(const QString& errorText)
{
    return errorText.contains(QLatin1String("no password supplied")) ||
           errorText.contains(QLatin1String("password authentication failed"));
}

namespace {

// What a refused connection's text says, and the sentence for it. libpq
// writes its own messages and passes on the server's, both translated when
// the program runs in Japanese, so each fault is known by its English and
// its Japanese words (every word of one entry must appear). QPSQL gives no
// SQLSTATE for a failed connection, only this text.
struct Refusal {
    QStringList english;
    QStringList japanese;
    const char* reason;
};

// Said by more than one text (older servers write "SSL off").
constexpr const char* kWithoutTls =
    "サーバーは、このコンピューターからの暗号化（TLS）なしの接続を受け付けていません。TLS を「必ず使う」にするか、"
    "サーバーの管理者に確かめてください。";
constexpr const char* kNotRunning =
    "サーバーが動いていないか、そのポートで接続を受け付けていません。ホストとポートを確かめ、サーバーが動いているか確かめてください。";

const Refusal kRefusals[] = {
    {{QStringLiteral("password authentication failed")},
     {QStringLiteral("パスワード認証に失敗しました")},
     "パスワードが違います（またはユーザー名が違います）。"},
    {{QStringLiteral("no password supplied")},  // libpq leaves this one untranslated
     {},
     "サーバーがパスワードを求めています。パスワードを入力するか、~/.pgpass に書いてください。"},
    {{QStringLiteral("database \""), QStringLiteral("does not exist")},
     {QStringLiteral("データベース\""), QStringLiteral("は存在しません")},
     "そのデータベースはサーバーにありません。データベースの名前を確かめてください。"},
    {{QStringLiteral("role \""), QStringLiteral("does not exist")},
     {QStringLiteral("ロール\""), QStringLiteral("は存在しません")},
     "そのユーザーはサーバーに登録されていません。ユーザー名を確かめてください。"},
    {{QStringLiteral("no pg_hba.conf entry"), QStringLiteral("no encryption")},
     {QStringLiteral("pg_hba.conf"), QStringLiteral("暗号化なし")},
     kWithoutTls},
    {{QStringLiteral("no pg_hba.conf entry"), QStringLiteral("SSL off")},
     {},
     kWithoutTls},
    {{QStringLiteral("SSL was required")},
     {QStringLiteral("SSLが要求されました")},
     "サーバーが暗号化（TLS）に対応していません。TLS を「使えれば使う」にするか、サーバーの管理者に確かめてください。"},
    {{QStringLiteral("no pg_hba.conf entry")},
     {QStringLiteral("pg_hba.conf")},
     "このコンピューターからこのユーザーとデータベースへの接続は、サーバーの設定（pg_hba.conf）で許されていません。"
     "サーバーの管理者に確かめてください。"},
    {{QStringLiteral("could not translate host name")},
     {QStringLiteral("をアドレスに変換できませんでした")},
     "ホストが見つかりません。ホスト名を確かめてください。"},
    {{QStringLiteral("timeout expired")},
     {QStringLiteral("タイムアウト期間が過ぎました")},
     "サーバーから応答がありません。ホスト名とポート、ネットワークを確かめてください。"},
    {{QStringLiteral("Connection refused")},
     {QStringLiteral("接続を受け付けていますか")},
     kNotRunning},
    {{QStringLiteral("Is the server running")},
     {},
     kNotRunning},
};

bool SaysAll(const QString& text, const QStringList& words)
{
    if (words.isEmpty())
        return false;
    for (const QString& w : words)
        if (!text.contains(w))
            return false;
    return true;
}

}  // namespace

QString PgRefusalReason(const QString& errorText)
{
    for (const Refusal& r : kRefusals)
        if (SaysAll(errorText, r.english) || SaysAll(errorText, r.japanese))
            return QString::fromUtf8(r.reason);
    return QStringLiteral("サーバーが接続を受け付けませんでした。詳細をサーバーの管理者に伝えてください。");
}

QString PgErrorLines(const QString& errorText)
{
    QStringList lines;
    for (const QString& line : errorText.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    return lines.join(QLatin1Char('\n'));
}

QString PgRefusalMessage(const QString& errorText)
{
    const QString details = PgErrorLines(errorText);
    const QString reason = PgRefusalReason(errorText);
    return details.isEmpty() ? reason : reason + QStringLiteral("\n詳細: ") + details;
}

}  // namespace zelvara
