#include "common/pg_connection.h"

#include <QByteArray>
#include <QHash>
#include <QSqlDatabase>
#include <QStringList>
#include <QUrl>

#include <libpq-fe.h>
#include <locale.h>

#include <algorithm>
#include <memory>

namespace zelvara {
namespace {

const char* const kSslModes[] = {"disable", "allow", "prefer", "require", "verify-ca", "verify-full"};

const QString kPortKey = QStringLiteral("port");
const QString kTimeoutKey = QStringLiteral("connect_timeout");
const QString kDefaultTimeout = QStringLiteral("5");

bool IsOneOf(const QString& word, const auto& list) {
    return std::any_of(std::begin(list), std::end(list), [&](const char* w) { return word == QLatin1String(w); });
}

const QString* FindOption(const PgConnection& c, const QString& key) {
    for (const auto& option : c.options) {
        if (option.first == key) return &option.second;
    }
    return nullptr;
}

using ConninfoOptions = std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)>;

// libpq's reading of a connection string. Its message, when it refuses one,
// comes in English whatever the user's language, so that it can be told
// apart; it is never shown, as it may repeat the password.
ConninfoOptions ReadConninfo(const QByteArray& conninfo, QByteArray* error) {
    const locale_t english = newlocale(LC_ALL_MASK, "C", locale_t(0));
    const locale_t previous = english ? uselocale(english) : locale_t(0);
    char* message = nullptr;
    ConninfoOptions options(PQconninfoParse(conninfo.constData(), &message), &PQconninfoFree);
    if (english) {
        uselocale(previous);
        freelocale(english);
    }
    if (message) {
        *error = QByteArray(message).trimmed();
        PQfreemem(message);
    }
    return options;
}

// A percent-encoded text as libpq decodes it; nullopt where libpq refuses it.
std::optional<QString> Decoded(const QByteArray& raw) {
    QByteArray error;
    const ConninfoOptions options = ReadConninfo("postgresql://?application_name=" + raw, &error);
    for (const PQconninfoOption* o = options.get(); o && o->keyword; ++o) {
        if (o->val && qstrcmp(o->keyword, "application_name") == 0) return QString::fromUtf8(o->val);
    }
    return std::nullopt;
}

// The parameters after '?' as written (key=value), percent-decoded: for the
// order of the options and for naming every unknown one.
QList<QPair<QString, QString>> QueryParameters(const QByteArray& uri) {
    QList<QPair<QString, QString>> parameters;
    const qsizetype question = uri.indexOf('?');
    if (question < 0) return parameters;
    for (const QByteArray& part : uri.mid(question + 1).split('&')) {
        const qsizetype equals = part.indexOf('=');
        const std::optional<QString> key = equals < 0 ? std::nullopt : Decoded(part.left(equals));
        if (key && !key->isEmpty()) parameters.append({*key, Decoded(part.mid(equals + 1)).value_or(QString())});
    }
    return parameters;
}

// Where an option was first written among the parameters; libpq takes
// ssl=true and the old requiressl for sslmode.
qsizetype WrittenAt(const QList<QPair<QString, QString>>& parameters, const QString& keyword) {
    for (qsizetype k = 0; k < parameters.size(); ++k) {
        const QString& key = parameters[k].first;
        if (key == keyword || (keyword == QLatin1String("sslmode") &&
                               (key == QLatin1String("ssl") || key == QLatin1String("requiressl"))))
            return k;
    }
    return parameters.size();
}

// The user's word for the part of the URI that libpq names by keyword.
QString PartName(const QString& keyword) {
    static const QHash<QString, QString> kNames = {{QStringLiteral("user"), QStringLiteral("ユーザー名")},
                                                   {QStringLiteral("password"), QStringLiteral("パスワード")},
                                                   {QStringLiteral("host"), QStringLiteral("ホスト名")},
                                                   {QStringLiteral("port"), QStringLiteral("ポート番号")},
                                                   {QStringLiteral("dbname"), QStringLiteral("データベース名")}};
    return kNames.value(keyword, QStringLiteral("項目「%1」の値").arg(keyword));
}

// libpq names a badly percent-encoded text, not the part it is in: the part
// is the one that holds a plain word put in the text's place, at the first
// place where the URI then reads.
QString PartHolding(const QByteArray& uri, const QByteArray& text) {
    static const QByteArray kMark = QByteArrayLiteral("zelvaraPercentMark");
    for (qsizetype at = text.isEmpty() ? -1 : uri.indexOf(text); at >= 0; at = uri.indexOf(text, at + 1)) {
        QByteArray error;
        const ConninfoOptions options = ReadConninfo(QByteArray(uri).replace(at, text.size(), kMark), &error);
        if (error.startsWith("invalid URI query parameter") && error.endsWith('"' + kMark + '"'))
            return QStringLiteral("項目名");
        for (const PQconninfoOption* o = options.get(); o && o->keyword; ++o) {
            if (o->val && kMark == o->val) return PartName(QString::fromUtf8(o->keyword));
        }
    }
    return QStringLiteral("接続先");
}

// libpq's refusal of a URI in the user's words; what it quotes is repeated
// only where it cannot be the password.
QString RefusalOf(const QByteArray& uri, const QByteArray& error) {
    const qsizetype open = error.indexOf(": \"") + 3;
    const QByteArray quoted = open < 3 ? QByteArray() : error.mid(open, error.lastIndexOf('"') - open);
    const auto says = [&](const char* words) { return error.startsWith(words); };
    if (says("invalid percent-encoded token"))
        return QStringLiteral("%1の「%」の後に 16 進数 2 桁がありません。").arg(PartHolding(uri, quoted));
    if (says("forbidden value %00")) return PartHolding(uri, quoted) + QStringLiteral("に %00 は使えません。");
    if (says("end of string reached when looking for matching \"]\""))
        return QStringLiteral("IPv6 のアドレスを閉じる「]」がありません。");
    if (says("IPv6 host address may not be empty")) return QStringLiteral("「[]」の中に IPv6 のアドレスがありません。");
    if (says("unexpected character")) {
        // "... at position N in URI ...", counted from 1.
        const qsizetype position = error.mid(error.indexOf("position ") + 9).split(' ').value(0).toLongLong();
        return QStringLiteral(
                   "IPv6 のアドレスの「]」の後に「%1」があります"
                   "（「:」「/」「?」「,」のどれかが来るはずです）。")
            .arg(QString::fromUtf8(uri.mid(position - 1)).left(1));
    }
    if (says("extra key/value separator"))
        return QStringLiteral("項目「%1」に「=」が 2 つあります。").arg(QString::fromUtf8(quoted));
    if (says("missing key/value separator"))
        return QStringLiteral("「%1」に「=」がありません（項目=値 の形で書きます）。").arg(QString::fromUtf8(quoted));
    if (says("invalid URI query parameter")) {
        // libpq stops at the first; every one is named.
        QStringList unknown = {QString::fromUtf8(quoted)};
        QByteArray ignored;
        const ConninfoOptions known = ReadConninfo(QByteArray(), &ignored);
        for (const auto& [key, value] : QueryParameters(uri)) {
            bool isKnown =
                key == QLatin1String("requiressl") || (key == QLatin1String("ssl") && value == QLatin1String("true"));
            for (const PQconninfoOption* o = known.get(); o && o->keyword; ++o)
                isKnown = isKnown || key == QLatin1String(o->keyword);
            if (!isKnown && !unknown.contains(key)) unknown.append(key);
        }
        return QStringLiteral("接続先の URI に PostgreSQL の知らない項目があります：「%1」。")
            .arg(unknown.join(QStringLiteral("」「")));
    }
    return QStringLiteral(
        "接続先の URI を読めません。書き方を確かめてください"
        "（例：postgresql://reader@host/zelvara）。");
}

// libpq's values as the connection's fields and options, the options in the
// order written; the ports stay text for the checks.
PgConnection ConnectionOf(const PQconninfoOption* options, const QByteArray& uri, QString* ports) {
    PgConnection c;
    for (const PQconninfoOption* o = options; o->keyword; ++o) {
        if (!o->val) continue;
        const QString key = QString::fromUtf8(o->keyword);
        const QString value = QString::fromUtf8(o->val);
        if (key == QLatin1String("host"))
            c.host = value;
        else if (key == kPortKey)
            *ports = value;
        else if (key == QLatin1String("dbname"))
            c.database = value;
        else if (key == QLatin1String("user"))
            c.user = value;
        else if (key == QLatin1String("password"))
            c.password = value;
        else
            c.options.append({key, value});
    }
    const QList<QPair<QString, QString>> parameters = QueryParameters(uri);
    std::stable_sort(c.options.begin(), c.options.end(), [&](const auto& a, const auto& b) {
        return WrittenAt(parameters, a.first) < WrittenAt(parameters, b.first);
    });
    return c;
}

// What libpq only refuses when connecting, and what Qt's driver cannot pass
// on. Puts the port into the connection.
QString CheckValues(PgConnection& c, const QString& portText) {
    const QStringList ports = portText.split(QLatin1Char(','));
    for (const QString& port : ports) {
        if (port.isEmpty()) continue;
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
    if (ports.size() == 1 && !portText.isEmpty())
        c.port = portText.toInt();
    else if (std::any_of(ports.begin(), ports.end(), [](const QString& p) { return !p.isEmpty(); }))
        c.options.append({kPortKey, portText});

    const QString* sslMode = FindOption(c, QStringLiteral("sslmode"));
    if (sslMode && !IsOneOf(*sslMode, kSslModes))
        return QStringLiteral(
                   "TLS の設定 sslmode「%1」は disable、allow、prefer、require、verify-ca、verify-full "
                   "のどれかです。")
            .arg(*sslMode);
    for (const auto& [key, value] : c.options) {
        if (value.contains(QLatin1Char(';')))
            return QStringLiteral(
                       "項目「%1」の値に「;」は使えません（Qt の PostgreSQL ドライバーが空白に変えてしまいます）。")
                .arg(key);
    }
    return QString();
}

QString Encode(const QString& text, const QByteArray& keep = QByteArray()) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text, keep));
}

QString PortText(const PgConnection& c) {
    const QString* ports = FindOption(c, kPortKey);
    return c.port > 0 ? QString::number(c.port) : ports ? *ports : QString();
}

// "host:port" for each host, paired as libpq pairs them; a single port for
// several hosts stays apart (portApart).
QStringList HostEntries(const PgConnection& c, bool encode, QString* portApart) {
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
        if (paired && !ports[k].isEmpty()) entry += QLatin1Char(':') + ports[k];
        entries.append(entry);
    }
    return entries;
}

// A value in libpq's conninfo quoting: '...' with \ and ' escaped.
QString QuoteConninfo(QString value) {
    value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    value.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + value + QLatin1Char('\'');
}

}  // namespace

std::optional<PgConnection> ParsePgUri(const QString& uri, QString* why) {
    const QByteArray bytes = uri.trimmed().toUtf8();
    QString error;
    QString ports;
    PgConnection connection;
    if (!bytes.startsWith("postgresql://") && !bytes.startsWith("postgres://")) {
        error = QStringLiteral(
            "接続先は postgresql://ユーザー@ホスト/データベース の形の URI で書いてください"
            "（例：postgresql://reader@host/zelvara）。");
    } else {
        QByteArray refusal;
        const ConninfoOptions options = ReadConninfo(bytes, &refusal);
        if (!options) {
            error = RefusalOf(bytes, refusal);
        } else {
            connection = ConnectionOf(options.get(), bytes, &ports);
            error = CheckValues(connection, ports);
        }
    }
    if (!error.isEmpty()) {
        if (why) *why = error;
        return std::nullopt;
    }
    return connection;
}

QString ToPgUri(const PgConnection& c) {
    QList<QPair<QString, QString>> query;
    QString uri = QStringLiteral("postgresql://");
    if (!c.user.isEmpty()) uri += Encode(c.user) + QLatin1Char('@');
    const QStringList hosts = c.host.split(QLatin1Char(','));
    if (std::any_of(hosts.begin(), hosts.end(), [](const QString& h) { return h.startsWith(QLatin1Char('/')); })) {
        // A socket folder reads better as a parameter than percent-encoded
        // in place of the host name.
        query.append({QStringLiteral("host"), c.host});
        if (!PortText(c).isEmpty()) query.append({kPortKey, PortText(c)});
    } else {
        QString portApart;
        uri += HostEntries(c, true, &portApart).join(QLatin1Char(','));
        if (!portApart.isEmpty()) query.append({kPortKey, portApart});
    }
    // Always a '/': libpq would take an '@' in the parameters for the end
    // of a user name if none came before it.
    uri += QLatin1Char('/') + Encode(c.database);
    for (const auto& option : c.options) {
        if (option.first != kPortKey) query.append(option);
    }
    QStringList parameters;
    for (const auto& [key, value] : query) parameters.append(Encode(key) + QLatin1Char('=') + Encode(value));
    if (!parameters.isEmpty()) uri += QLatin1Char('?') + parameters.join(QLatin1Char('&'));
    return uri;
}

QString DescribePgConnection(const PgConnection& c) {
    QString database = c.database;
    if (database.isEmpty()) database = c.user.isEmpty() ? QStringLiteral("既定のデータベース") : c.user;
    QString portApart;
    QStringList entries = HostEntries(c, false, &portApart);
    for (QString& entry : entries) {
        if (entry.isEmpty() || entry.startsWith(QLatin1Char(':'))) entry.prepend(QStringLiteral("既定のソケット"));
    }
    QString where = entries.join(QLatin1Char(','));
    if (!portApart.isEmpty()) where += QLatin1Char(':') + portApart;
    if (!c.user.isEmpty()) where.prepend(c.user + QLatin1Char('@'));
    return database + QStringLiteral("（") + where + QStringLiteral("）");
}

void ApplyPgConnection(const PgConnection& c, QSqlDatabase& db) {
    db.setHostName(c.host);
    db.setPort(c.port);
    db.setDatabaseName(c.database);
    db.setUserName(c.user);
    db.setPassword(c.password);
    // Qt's driver puts these after its own quoted fields and only turns each
    // ';' into a blank, so the values are quoted here.
    QStringList options;
    for (const auto& [key, value] : c.options) options.append(key + QLatin1Char('=') + QuoteConninfo(value));
    if (!FindOption(c, kTimeoutKey)) options.append(kTimeoutKey + QLatin1Char('=') + QuoteConninfo(kDefaultTimeout));
    db.setConnectOptions(options.join(QLatin1Char(' ')));
}

bool PgWantsPassword(const QString& errorText) {
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
    "サーバーが動いていないか、そのポートで接続を受け付けていません。ホストとポートを確かめ、サーバーが動いているか確か"
    "めてください。";

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
    {{QStringLiteral("no pg_hba.conf entry"), QStringLiteral("SSL off")}, {}, kWithoutTls},
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
    {{QStringLiteral("Connection refused")}, {QStringLiteral("接続を受け付けていますか")}, kNotRunning},
    {{QStringLiteral("Is the server running")}, {}, kNotRunning},
};

bool SaysAll(const QString& text, const QStringList& words) {
    if (words.isEmpty()) return false;
    for (const QString& w : words)
        if (!text.contains(w)) return false;
    return true;
}

}  // namespace

QString PgRefusalReason(const QString& errorText) {
    for (const Refusal& r : kRefusals)
        if (SaysAll(errorText, r.english) || SaysAll(errorText, r.japanese)) return QString::fromUtf8(r.reason);
    return QStringLiteral("サーバーが接続を受け付けませんでした。詳細をサーバーの管理者に伝えてください。");
}

QString PgErrorLines(const QString& errorText) {
    QStringList lines;
    for (const QString& line : errorText.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty()) lines << line.trimmed();
    return lines.join(QLatin1Char('\n'));
}

QString PgRefusalMessage(const QString& errorText) {
    const QString details = PgErrorLines(errorText);
    const QString reason = PgRefusalReason(errorText);
    return details.isEmpty() ? reason : reason + QStringLiteral("\n詳細: ") + details;
}

}  // namespace zelvara
