#include "register/consultation_csv.h"

#include "common/cp932.h"

#include <QSet>

namespace zelvara {
namespace {

constexpr int kClientFields = 6;  // 氏名 … 性別

QString ClientKey(const PersonValues& v) {
    QString key;
    for (int i = 0; i < kClientFields; ++i) key += v[i].trimmed() + QChar(0x1F);
    return key;
}

QString EntryKey(const ConsultationEntry& e) {
    return QStringList{QString::number(e.client), ConsultationDateText(e.date), e.time, e.theme, e.question, e.notes}
        .join(QChar(0x1F));
}

enum Column {
    kDate = kClientFields,
    kTime,
    kTheme,
    kQuestion,
    kNotes,
    kProfile,
    kReading,
    kBirthTime,
    kFee,
    kPaid,
    kNextDate,
    kNextTime,
    kColumnCount
};

const QString kPaidMark = QStringLiteral("済");

// 済, 1, yes, true: paid; empty, 未, 0, no, false: not; else nullopt.
std::optional<bool> ParsePaid(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == kPaidMark || t == QLatin1String("1") || t == QLatin1String("yes") || t == QLatin1String("true"))
        return true;
    if (t.isEmpty() || t == QStringLiteral("未") || t == QLatin1String("0") || t == QLatin1String("no") ||
        t == QLatin1String("false"))
        return false;
    return std::nullopt;
}

}  // namespace

const QStringList& ConsultationCsvColumns() {
    static const QStringList columns = [] {
        QStringList c;
        for (int i = 0; i < kClientFields; ++i) c << FieldName(i);
        c << QStringLiteral("鑑定日") << QStringLiteral("鑑定時刻") << QStringLiteral("テーマ")
          << QStringLiteral("相談内容") << QStringLiteral("メモ") << QStringLiteral("プロフィール")
          << QStringLiteral("読んだ盤") << QStringLiteral("使った出生時刻") << QStringLiteral("料金")
          << QStringLiteral("支払い") << QStringLiteral("次回の日付") << QStringLiteral("次回の時刻");
        return c;
    }();
    return columns;
}

QStringList ConsultationEntryCells(const ConsultationEntry& e) {
    return {ConsultationDateText(e.date),
            e.time,
            e.theme,
            e.question,
            e.notes,
            e.profile,
            e.reading,
            e.birthTime,
            e.fee ? QString::number(*e.fee) : QString(),
            e.paid ? kPaidMark : QString(),
            ConsultationDateText(e.nextDate),
            e.nextTime};
}

QByteArray WriteConsultationCsv(const std::vector<ConsultationListing>& entries,
                                const std::unordered_map<qint64, PersonValues>& clients, CsvEncoding encoding,
                                QString* error) {
    QString text;
    AppendCsvLine(text, ConsultationCsvColumns());
    for (const ConsultationListing& l : entries) {
        const ConsultationEntry& e = l.entry;
        const auto client = clients.find(e.client);
        if (client == clients.end()) continue;  // not in the register (cannot be named)
        QStringList cells;
        for (int i = 0; i < kClientFields; ++i) cells << client->second[i];
        cells << ConsultationEntryCells(e);
        if (encoding == CsvEncoding::Cp932) {
            for (const QString& cell : cells)
                if (!cp932::Encode(cell)) {
                    *error =
                        QStringLiteral(
                            "%1 の %2 の鑑定記録に Shift-JIS で書けない文字があります。UTF-8 で書き出してください。")
                            .arg(client->second[kFieldName], ConsultationDateText(e.date));
                    return {};
                }
        }
        AppendCsvLine(text, cells);
    }
    QString bad;
    QByteArray bytes = EncodeCsvText(text, encoding, &bad);
    if (bytes.isEmpty()) *error = QStringLiteral("「%1」は Shift-JIS で書けない文字です。").arg(bad);
    return bytes;
}

ConsultationCsv ReadConsultationCsv(const QByteArray& bytes, const QString& fileName,
                                    const std::vector<StoredPerson>& clients) {
    ConsultationCsv out;
    const std::optional<CsvRows> read = ReadCsvRows(bytes, fileName, &out.error);
    if (!read) return out;
    const std::vector<QString>& header = read->rows.front();
    std::vector<int> columnOf(header.size(), -1);
    std::vector<bool> present(kColumnCount, false);
    for (size_t col = 0; col < header.size(); ++col) {
        const int c = int(ConsultationCsvColumns().indexOf(header[col].trimmed()));
        if (c < 0 || present[size_t(c)]) {
            out.error = QStringLiteral("「%1」の %2 行目: 見出しの「%3」は%4。")
                            .arg(fileName)
                            .arg(read->lines.front())
                            .arg(header[col], c < 0 ? QStringLiteral("鑑定記録の項目名ではありません")
                                                    : QStringLiteral("二度あります"));
            return out;
        }
        columnOf[col] = c;
        present[size_t(c)] = true;
    }
    QStringList missing;
    for (int c : {0, 1, 2, 3, 4, 5, int(kDate)})
        if (!present[size_t(c)]) missing << ConsultationCsvColumns()[c];
    if (!missing.isEmpty()) {
        out.error =
            QStringLiteral("「%1」の見出しに %2 がありません。").arg(fileName, missing.join(QStringLiteral("、")));
        return out;
    }

    std::unordered_map<QString, qint64> clientOf;
    QSet<QString> twice;
    for (const StoredPerson& p : clients) {
        const QString key = ClientKey(p.values);
        if (!clientOf.emplace(key, p.rowId).second) twice.insert(key);
    }
    for (size_t r = 1; r < read->rows.size(); ++r) {
        const std::vector<QString>& row = read->rows[r];
        ConsultationCsvLine line;
        line.line = read->lines[r];
        if (row.size() != header.size()) {
            line.problem =
                QStringLiteral("項目の数が %1 で、見出しの %2 と合いません").arg(row.size()).arg(header.size());
            out.lines.push_back(std::move(line));
            continue;
        }
        QStringList cells(kColumnCount, QString());
        for (size_t col = 0; col < row.size(); ++col) cells[columnOf[col]] = UnguardedFromSpreadsheet(row[col]);
        PersonValues who;
        for (int i = 0; i < kClientFields; ++i) who[i] = cells[i];
        const QString key = ClientKey(who);
        ConsultationEntry& e = line.entry;
        const auto date = ParseConsultationDate(cells[kDate]);
        const auto time = ParseConsultationTime(cells[kTime]);
        const auto nextTime = ParseConsultationTime(cells[kNextTime]);
        const auto paid = ParsePaid(cells[kPaid]);
        QString feeProblem;
        const auto fee = ParseConsultationFee(cells[kFee], &feeProblem);
        if (twice.contains(key))
            line.problem = QStringLiteral("名簿に「%1」（%2/%3/%4 生）が 2 人以上いて、どちらの記録か決められません")
                               .arg(who[kFieldName], who[kFieldYear], who[kFieldMonth], who[kFieldDay]);
        else if (!clientOf.count(key))
            line.problem = QStringLiteral("名簿に「%1」（%2/%3/%4 生）がいません")
                               .arg(who[kFieldName], who[kFieldYear], who[kFieldMonth], who[kFieldDay]);
        else if (!date)
            line.problem = QStringLiteral("鑑定日「%1」は日付として読めません（例 2027-04-12）").arg(cells[kDate]);
        else if (!time)
            line.problem = QStringLiteral("鑑定時刻「%1」は HH:MM として読めません").arg(cells[kTime]);
        else if (!cells[kNextDate].trimmed().isEmpty() && !ParseConsultationDate(cells[kNextDate]))
            line.problem = QStringLiteral("次回の日付「%1」は日付として読めません").arg(cells[kNextDate]);
        else if (!nextTime)
            line.problem = QStringLiteral("次回の時刻「%1」は HH:MM として読めません").arg(cells[kNextTime]);
        else if (!fee)
            line.problem = feeProblem;
        else if (!paid)
            line.problem = QStringLiteral("支払い「%1」は 済 か空欄にしてください").arg(cells[kPaid]);
        if (line.problem.isEmpty()) {
            e.client = clientOf[key];
            e.date = *date;
            e.time = *time;
            e.theme = cells[kTheme];
            e.question = cells[kQuestion];
            e.notes = cells[kNotes];
            e.profile = cells[kProfile];
            e.reading = cells[kReading];
            e.birthTime = cells[kBirthTime];
            e.fee = *fee;
            e.paid = *paid;
            e.nextDate = ParseConsultationDate(cells[kNextDate]).value_or(QDate());
            e.nextTime = *nextTime;
            line.problem = ConsultationProblem(e);
        }
        out.lines.push_back(std::move(line));
    }
    return out;
}

ConsultationImportReport ImportConsultations(ConsultationStorage& storage, const ConsultationCsv& csv, bool skipBad,
                                             bool dryRun) {
    ConsultationImportReport report;
    if (!csv.error.isEmpty()) {
        report.error = csv.error;
        return report;
    }
    QString why;
    const auto present = storage.All(&why);
    if (!present) {
        report.error = QStringLiteral("今の鑑定記録を読めません（%1）。").arg(why);
        return report;
    }
    QSet<QString> known;
    for (const ConsultationListing& l : *present) known.insert(EntryKey(l.entry));
    std::vector<ConsultationEntry> entries;
    for (const ConsultationCsvLine& line : csv.lines) {
        if (!line.problem.isEmpty()) {
            report.refused.emplace_back(line.line, line.problem);
            continue;
        }
        if (known.contains(EntryKey(line.entry))) {
            ++report.duplicates;
            continue;
        }
        known.insert(EntryKey(line.entry));
        entries.push_back(line.entry);
    }
    if (!report.refused.empty() && !skipBad) {
        report.error = QStringLiteral("%1 行が読み込めないため、何も書き込みませんでした。").arg(report.refused.size());
        return report;
    }
    if (dryRun || entries.empty()) {
        report.added = int(entries.size());
        return report;
    }
    const PersonWrite w = storage.InsertAll(entries);
    if (!w.Ok()) {
        report.error = w.why;
        return report;
    }
    report.added = int(entries.size());
    report.written = true;
    return report;
}

}  // namespace zelvara
