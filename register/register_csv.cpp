#include "register/register_csv.h"

#include "common/cp932.h"

#include <QLocale>
#include <QStringDecoder>

#include <csv.h>

#include <algorithm>
#include <array>

namespace zelvara {
namespace {

bool NeedsQuotes(const QString& v) {
    if (v.isEmpty()) return false;
    if (v.front().isSpace() || v.back().isSpace()) return true;
    for (const QChar c : v) {
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r') return true;
    }
    return false;
}

void AppendField(QString& out, const QString& v) {
    if (!NeedsQuotes(v)) {
        out += v;
        return;
    }
    QString quoted = v;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    out += QLatin1Char('"') + quoted + QLatin1Char('"');
}

// True when a spreadsheet would read the value, after any apostrophes in
// front, as a formula: = + - @ (also full-width), the minus sign, a tab or a
// carriage return.
bool FormulaLike(const QString& v) {
    static const QString starts = QStringLiteral("=+-@\t\r\u2212\uFF1D\uFF0B\uFF0D\uFF20");
    qsizetype i = 0;
    while (i < v.size() && v[i] == u'\'') ++i;
    return i < v.size() && starts.contains(v[i]);
}

void AppendLine(QString& out, const PersonValues& values, const QStringList& birthTime,
                const std::optional<QString>& profile) {
    for (int i = 0; i < kPersonFieldCount; ++i) {
        if (i > 0) out += QLatin1Char(',');
        AppendField(out, GuardedForSpreadsheet(values[i]));
    }
    for (const QString& cell : birthTime) {
        out += QLatin1Char(',');
        AppendField(out, cell);
    }
    if (profile) {
        out += QLatin1Char(',');
        AppendField(out, GuardedForSpreadsheet(*profile));
    }
    out += QLatin1String("\r\n");
}

const QString kJapanZoneName = QStringLiteral("Asia/Tokyo");
constexpr int kBirthTimeColumnCount = 5;
constexpr int kProfileColumn = kPersonFieldCount + kBirthTimeColumnCount;  // after the fields and the time's

// The five cells of a record's exact time; all empty for none. A longitude
// outside Japan kept in Japan's zone (confirmed when it was entered) names
// the zone, which the import takes as that confirmation.
QStringList BirthTimeCells(const std::optional<BirthTimeEntry>& entry) {
    if (!entry) return QStringList(BirthTimeCsvColumns().size(), QString());
    QString zone = entry->zone;
    if (entry->InJapan() && entry->longitude &&
        (*entry->longitude < kFirstJapanLongitude || *entry->longitude > kLastJapanLongitude))
        zone = kJapanZoneName;
    QString correction;
    if (entry->correction) {
        const std::string_view word = TimeCorrectionWord(*entry->correction);
        correction = QString::fromLatin1(word.data(), qsizetype(word.size()));
    }
    return {entry->clockTime, entry->place,
            entry->longitude ? QString::number(*entry->longitude, 'g', QLocale::FloatingPointShortest) : QString(),
            zone, correction};
}

// The exact time in a row's five cells: none when all are empty; else the
// entry, or why the cells cannot be one (the entry's own checks come later).
std::optional<BirthTimeEntry> BirthTimeOfCells(const QStringList& cells, QString* problem) {
    if (std::all_of(cells.begin(), cells.end(), [](const QString& c) { return c.trimmed().isEmpty(); }))
        return std::nullopt;
    BirthTimeEntry entry{cells[0].trimmed(), cells[1].trimmed(), std::nullopt, cells[3].trimmed(), std::nullopt};
    if (entry.clockTime.isEmpty()) {
        *problem = QStringLiteral("出生時刻がないのに、出生地・経度・タイムゾーン・補正が書かれています");
        return std::nullopt;
    }
    if (const QString text = cells[2].trimmed(); !text.isEmpty()) {
        bool ok = false;
        entry.longitude = QLocale::c().toDouble(text, &ok);
        if (!ok) {
            *problem = QStringLiteral("経度「%1」は東経を度で表す数ではありません（例 139.69）").arg(cells[2]);
            return std::nullopt;
        }
    }
    if (const QString word = cells[4].trimmed(); !word.isEmpty()) {
        entry.correction = TimeCorrectionFromWord(word.toLower().toStdString());
        if (!entry.correction) {
            *problem = QStringLiteral("補正「%1」は none、mean、true のどれでもありません（空欄は設定に従います）")
                           .arg(cells[4]);
            return std::nullopt;
        }
    }
    return entry;
}

// The text of the file, by its encoding; the byte-order mark removed.
QString DecodeFile(const QByteArray& bytes) {
    static const QByteArray bom("\xEF\xBB\xBF");
    if (bytes.startsWith(bom)) return QString::fromUtf8(bytes.mid(bom.size()));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return cp932::Decode(bytes);
}

// The line of the first character a text file would not hold (NUL and the
// other control characters but tab and line ends, undecodable bytes); 0
// when there is none.
int FirstBinaryLine(const QString& text) {
    int line = 1;
    for (const QChar c : text) {
        if (c == u'\n')
            ++line;
        else if ((c.unicode() < 0x20 && c != u'\t' && c != u'\r') || c.unicode() == 0x7F ||
                 c == QChar::ReplacementCharacter)
            return line;
    }
    return 0;
}

// libcsv hands over fields and row ends; this collects them with the line on
// which each row starts.
struct Collector {
    std::vector<std::vector<QString>> rows;
    std::vector<int> lines;
    std::vector<QString> row;
    int line = 1;
    int rowLine = 1;
    bool atRowStart = true;
};

void OnField(void* data, size_t size, void* context) {
    auto* c = static_cast<Collector*>(context);
    c->row.push_back(QString::fromUtf8(static_cast<const char*>(data), qsizetype(size)));
}

void OnRowEnd(int, void* context) {
    auto* c = static_cast<Collector*>(context);
    c->rows.push_back(std::move(c->row));
    c->lines.push_back(c->rowLine);
    c->row.clear();
    c->atRowStart = true;
}

int NoSpace(unsigned char) { return 0; }  // blanks belong to the field (RFC 4180)

}  // namespace

QString GuardedForSpreadsheet(const QString& value) { return FormulaLike(value) ? QLatin1Char('\'') + value : value; }

QString UnguardedFromSpreadsheet(const QString& value) {
    return value.startsWith(QLatin1Char('\'')) && FormulaLike(value) ? value.mid(1) : value;
}

QStringList BirthTimeCsvCells(const std::optional<BirthTimeEntry>& entry) { return BirthTimeCells(entry); }

const QString& ProfileCsvColumn() {
    static const QString column = QStringLiteral("流派");
    return column;
}

const QStringList& BirthTimeCsvColumns() {
    static const QStringList columns{QStringLiteral("出生時刻"), QStringLiteral("出生地"), QStringLiteral("経度"),
                                     QStringLiteral("タイムゾーン"), QStringLiteral("補正")};
    return columns;
}

QByteArray WriteRegisterCsv(const std::vector<PersonValues>& records, CsvEncoding encoding, QString* error,
                            const RecordBirthTimes& times, const RecordProfiles& profiles) {
    // A register without exact times or profiles is written as it always was.
    const bool withTimes = std::any_of(times.begin(), times.end(), [](const auto& t) { return t.has_value(); });
    const bool withProfiles =
        std::any_of(profiles.begin(), profiles.end(), [](const QString& p) { return !p.isEmpty(); });
    auto cellsOf = [&](size_t n) {
        return withTimes ? BirthTimeCells(n < times.size() ? times[n] : std::nullopt) : QStringList();
    };
    auto profileOf = [&](size_t n) {
        return withProfiles ? std::optional(n < profiles.size() ? profiles[n] : QString()) : std::nullopt;
    };
    QString text;
    text.reserve(qsizetype(records.size()) * 80 + 200);
    for (int i = 0; i < kPersonFieldCount; ++i) {
        if (i > 0) text += QLatin1Char(',');
        text += FieldName(i);
    }
    if (withTimes) text += QLatin1Char(',') + BirthTimeCsvColumns().join(QLatin1Char(','));
    if (withProfiles) text += QLatin1Char(',') + ProfileCsvColumn();
    text += QLatin1String("\r\n");
    for (size_t n = 0; n < records.size(); ++n) AppendLine(text, records[n], cellsOf(n), profileOf(n));
    if (encoding == CsvEncoding::Utf8) return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    QString bad;
    if (auto bytes = cp932::Encode(text, &bad)) return *bytes;
    for (size_t n = 0; n < records.size(); ++n) {
        for (const QString& v : QStringList(records[n].begin(), records[n].end()) + cellsOf(n) +
                                    QStringList{profileOf(n).value_or(QString())}) {
            if (!cp932::Encode(v)) {
                *error =
                    QStringLiteral("%1 件目（%2）の「%3」は Shift-JIS で書けない文字です。UTF-8 で書き出してください。")
                        .arg(n + 1)
                        .arg(records[n][kFieldName], bad);
                return {};
            }
        }
    }
    *error = QStringLiteral("「%1」は Shift-JIS で書けない文字です。").arg(bad);
    return {};
}

std::optional<CsvRows> ReadCsvRows(const QByteArray& bytes, const QString& fileName, QString* error) {
    const QString text = DecodeFile(bytes);
    if (const int line = FirstBinaryLine(text)) {
        *error = QStringLiteral("「%1」の %2 行目に文字でないデータがあります。CSV ファイルではないようです。")
                     .arg(fileName)
                     .arg(line);
        return std::nullopt;
    }
    const QByteArray utf8 = text.toUtf8();

    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) {
        *error = QStringLiteral("CSV を読む準備ができません（メモリー不足）。");
        return std::nullopt;
    }
    csv_set_space_func(&parser, NoSpace);
    Collector c;
    QString parseError;
    for (const char ch : utf8) {
        if (c.atRowStart && ch != '\n' && ch != '\r') {
            c.rowLine = c.line;
            c.atRowStart = false;
        }
        if (csv_parse(&parser, &ch, 1, OnField, OnRowEnd, &c) != 1) {
            parseError =
                QStringLiteral("「%1」の %2 行目が CSV として読めません（%3）。")
                    .arg(fileName)
                    .arg(c.line)
                    .arg(csv_error(&parser) == CSV_EPARSE ? QStringLiteral("引用符の使い方が正しくありません")
                                                          : QString::fromUtf8(csv_strerror(csv_error(&parser))));
            break;
        }
        if (ch == '\n') ++c.line;
    }
    if (parseError.isEmpty() && csv_fini(&parser, OnField, OnRowEnd, &c) != 0)
        parseError = QStringLiteral(
                         "「%1」は %2 "
                         "行目から始まる引用符が閉じられないまま終わっています。ファイルが途中で切れていないか確かめて"
                         "ください。")
                         .arg(fileName)
                         .arg(c.rowLine);
    csv_free(&parser);
    if (!parseError.isEmpty()) {
        *error = parseError;
        return std::nullopt;
    }
    if (c.rows.empty()) {
        *error = QStringLiteral("「%1」には見出しの行がありません。").arg(fileName);
        return std::nullopt;
    }
    return CsvRows{std::move(c.rows), std::move(c.lines)};
}

void AppendCsvLine(QString& out, const QStringList& cells) {
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0) out += QLatin1Char(',');
        AppendField(out, GuardedForSpreadsheet(cells[i]));
    }
    out += QLatin1String("\r\n");
}

QByteArray EncodeCsvText(const QString& text, CsvEncoding encoding, QString* bad) {
    if (encoding == CsvEncoding::Utf8) return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    if (auto bytes = cp932::Encode(text, bad)) return *bytes;
    return {};
}

CsvContent ReadRegisterCsv(const QByteArray& bytes, const QString& fileName) {
    CsvContent out;
    const std::optional<CsvRows> read = ReadCsvRows(bytes, fileName, &out.error);
    if (!read) return out;
    const CsvRows& c = *read;

    // The header names the columns; each must be a register field or one of
    // the exact time's (numbered after the fields), once.
    const std::vector<QString>& header = c.rows.front();
    std::vector<int> fieldOf(header.size(), -1);
    std::array<bool, kProfileColumn + 1> present{};
    bool withTimes = false;
    for (size_t col = 0; col < header.size(); ++col) {
        const qsizetype timeColumn = BirthTimeCsvColumns().indexOf(header[col].trimmed());
        withTimes = withTimes || timeColumn >= 0;
        const int field = timeColumn >= 0                               ? kPersonFieldCount + int(timeColumn)
                          : header[col].trimmed() == ProfileCsvColumn() ? kProfileColumn
                                                                        : FieldIndexOf(header[col].trimmed());
        if (field < 0 || present[field]) {
            out.error = QStringLiteral("「%1」の %2 行目: 見出しの「%3」は%4。")
                            .arg(fileName)
                            .arg(c.lines.front())
                            .arg(header[col], field < 0 ? QStringLiteral("名簿の項目名ではありません")
                                                        : QStringLiteral("二度あります"));
            return out;
        }
        fieldOf[col] = field;
        present[field] = true;
    }
    QStringList missing;
    for (int i = 0; i < kFirstPalaceField; ++i) {
        if (!present[i]) missing << FieldName(i);
    }
    if (!missing.isEmpty()) {
        out.error =
            QStringLiteral("「%1」の見出しに %2 がありません。").arg(fileName, missing.join(QStringLiteral("、")));
        return out;
    }

    out.items.reserve(c.rows.size() - 1);
    for (size_t r = 1; r < c.rows.size(); ++r) {
        const std::vector<QString>& row = c.rows[r];
        ImportItem item;
        item.line = c.lines[r];
        if (row.size() != header.size())
            item.problem =
                QStringLiteral("項目の数が %1 で、見出しの %2 と合いません").arg(row.size()).arg(header.size());
        else {
            QStringList timeCells(BirthTimeCsvColumns().size(), QString());
            for (size_t col = 0; col < row.size(); ++col) {
                if (fieldOf[col] < kPersonFieldCount)
                    item.values[fieldOf[col]] = UnguardedFromSpreadsheet(row[col]);
                else if (fieldOf[col] == kProfileColumn)
                    item.profile = UnguardedFromSpreadsheet(row[col]).trimmed();
                else
                    timeCells[fieldOf[col] - kPersonFieldCount] = row[col];
            }
            if (withTimes) item.birthTime = BirthTimeOfCells(timeCells, &item.problem);
        }
        out.items.push_back(std::move(item));
    }
    return out;
}

}  // namespace zelvara
