#include "register/client_data.h"

#include "register/consultation_csv.h"
#include "register/person_table.h"
#include "register/register_csv.h"

#include <QRegularExpression>

namespace zelvara {
namespace {

const QString kRecordPart = QStringLiteral("人物");
const QString kTimePart = QStringLiteral("出生時刻");
const QString kEntryPart = QStringLiteral("鑑定記録");
const QString kDeletedEntryPart = QStringLiteral("削除した鑑定記録");

// The entry's labelled cells (鑑定日 … 次回の時刻).
void AddEntryRows(std::vector<ClientDataRow>& rows, const QString& part, const QString& number,
                  const ConsultationEntry& e) {
    const QStringList& columns = ConsultationCsvColumns();
    const QStringList cells = ConsultationEntryCells(e);
    const qsizetype first = columns.size() - cells.size();
    for (qsizetype i = 0; i < cells.size(); ++i) rows.push_back({part, number, columns[first + i], cells[i]});
}

}  // namespace

std::optional<StoredPerson> StoredClient(PersonTable& table, qint64 client, QString* why) {
    QString readWhy;
    std::optional<StoredPerson> stored = table.StoredRecord(client, &readWhy);
    if (!stored) *why = readWhy.isEmpty() ? QStringLiteral("番号 %1 の人物は名簿にいません。").arg(client) : readWhy;
    return stored;
}

std::optional<ClientData> ReadClientData(PersonTable& table, qint64 client, QString* why) {
    const std::optional<StoredPerson> stored = StoredClient(table, client, why);
    if (!stored) return std::nullopt;
    ClientData data;
    data.client = client;
    data.values = stored->values;
    data.birthTime = table.BirthTime(client);
    const std::optional<QString> profile = table.ReadProfile(client, why);
    if (!profile) return std::nullopt;
    data.profile = *profile;
    QString noRecord;
    std::unique_ptr<ConsultationStorage> notes = OpenConsultations(table, &noRecord);
    if (!notes) return data;  // no consultation tables: nothing kept there
    auto entries = notes->ForClient(client, why);
    auto deleted = entries ? notes->Deleted(why) : std::nullopt;
    if (!entries || !deleted) return std::nullopt;
    data.entries = std::move(*entries);
    for (DeletedConsultation& d : *deleted)
        if (d.entry.client == client && !d.withClient) data.deletedEntries.push_back(std::move(d));
    return data;
}

std::vector<ClientDataRow> ClientDataRows(const ClientData& data) {
    std::vector<ClientDataRow> rows;
    for (int i = 0; i < kPersonFieldCount; ++i) rows.push_back({kRecordPart, {}, FieldLabel(i), data.values[i]});
    if (!data.profile.isEmpty()) rows.push_back({kRecordPart, {}, ProfileCsvColumn(), data.profile});
    if (data.birthTime) {
        const QStringList cells = BirthTimeCsvCells(data.birthTime);
        for (qsizetype i = 0; i < cells.size(); ++i)
            rows.push_back({kTimePart, {}, BirthTimeCsvColumns()[i], cells[i]});
    }
    int n = 0;
    for (const ConsultationEntry& e : data.entries) AddEntryRows(rows, kEntryPart, QString::number(++n), e);
    n = 0;
    for (const DeletedConsultation& d : data.deletedEntries) {
        const QString number = QString::number(++n);
        rows.push_back({kDeletedEntryPart, number, QStringLiteral("削除日時"),
                        d.deletedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))});
        AddEntryRows(rows, kDeletedEntryPart, number, d.entry);
    }
    return rows;
}

QByteArray ClientDataCsv(const ClientData& data) {
    QString text;
    AppendCsvLine(text,
                  {QStringLiteral("区分"), QStringLiteral("番号"), QStringLiteral("項目"), QStringLiteral("内容")});
    for (const ClientDataRow& r : ClientDataRows(data)) AppendCsvLine(text, {r.part, r.number, r.label, r.value});
    QString bad;
    return EncodeCsvText(text, CsvEncoding::Utf8, &bad);
}

ClientExportFiles ClientExportFilesOf(const QString& base) {
    QString stem = base;
    for (const char* ext : {".csv", ".pdf", ".CSV", ".PDF"})
        if (stem.endsWith(QLatin1String(ext))) stem.chop(4);
    return {stem + QStringLiteral(".csv"), stem + QStringLiteral(".pdf")};
}

QString SuggestedClientExportName(const QString& clientName) {
    // Characters a file name may not hold on the systems the files travel to.
    QString name = clientName.trimmed();
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\s]+")), QStringLiteral("_"));
    if (name.isEmpty()) name = QStringLiteral("人物");
    return name + QStringLiteral("_個人データ");
}

}  // namespace zelvara
