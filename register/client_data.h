// Everything the register keeps about one client, gathered for the client's
// own request to see it (Japan's personal-information law): the record's
// eighteen fields, the profile chosen, the exact birth time and place, every consultation entry
// and the entries deleted alone that are still kept. The same rows make the
// CSV file and the readable print.
#pragma once

#include "register/birth_time_entry.h"
#include "register/consultation_storage.h"
#include "register/person_storage.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace zelvara {

class PersonTable;

struct ClientData {
    qint64 client = -1;
    PersonValues values;
    std::optional<BirthTimeEntry> birthTime;
    QString profile;                                  // the convention profile chosen for the client; empty: none
    std::vector<ConsultationEntry> entries;           // newest first
    std::vector<DeletedConsultation> deletedEntries;  // deleted alone, newest first
};

// The client's data as stored now; nullopt with why when the client is not in
// the register or something cannot be read. A register whose record has no
// consultation tables yet gives no entries.
std::optional<ClientData> ReadClientData(PersonTable& table, qint64 client, QString* why);

// The client's record as stored; nullopt with why (the register's reason, or
// that the client is not in the register).
std::optional<StoredPerson> StoredClient(PersonTable& table, qint64 client, QString* why);

// One item of the export: the part it belongs to (人物, 出生時刻, 鑑定記録,
// 削除した鑑定記録), the number of the entry within its part (empty for the
// record and its time), what the item is and its value.
struct ClientDataRow {
    QString part;
    QString number;
    QString label;
    QString value;
};
std::vector<ClientDataRow> ClientDataRows(const ClientData& data);

// The export's CSV: the header 区分,番号,項目,内容 and one line an item, UTF-8
// with its byte-order mark, values guarded for a spreadsheet.
QByteArray ClientDataCsv(const ClientData& data);

// The export's two files from the base the reader chose (a name with or
// without .csv/.pdf): base.csv and base.pdf.
struct ClientExportFiles {
    QString csv;
    QString pdf;
};
ClientExportFiles ClientExportFilesOf(const QString& base);
// The name offered for the files: 山田花子_個人データ.
QString SuggestedClientExportName(const QString& clientName);

}  // namespace zelvara
