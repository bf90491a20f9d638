// A Paradox table (.DB, with its memo file .MB) read through pxlib: the
// fields and every record as texts. Alpha fields and memos are Shift-JIS and
// come out decoded as the program decodes CP932; short numbers as digits, an
// empty field as an empty text. Nothing here knows which table it reads.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace zelvara {

enum class ParadoxType { Alpha, Short, Memo, Other };

struct ParadoxField {
    QString name;
    ParadoxType type = ParadoxType::Other;
    int size = 0;  // bytes in the record
};

class ParadoxTable {
public:
    ParadoxTable();
    ~ParadoxTable();
    ParadoxTable(const ParadoxTable&) = delete;
    ParadoxTable& operator=(const ParadoxTable&) = delete;

    // Opens path read-only. A table with memo fields also opens its memo
    // file (same name, extension .MB in any case). Empty on success, else a
    // message naming the file: not a Paradox table, a damaged or cut-off
    // file, a missing memo file.
    QString Open(const QString& path);

    const QList<ParadoxField>& Fields() const { return fields_; }
    int RecordCount() const { return recordCount_; }

    // The texts of record n (0-based), one a field in field order. Empty on
    // success, else why (naming the record, 1-based, and the field).
    QString ReadRecord(int n, QStringList* values) const;

private:
    struct Doc;
    std::unique_ptr<Doc> doc_;
    QString path_;
    QList<ParadoxField> fields_;
    int recordCount_ = 0;
};

// Where each wanted field lies in the table: wanted[i] is found at
// columns[i]. Empty when the table has exactly these fields (in any order)
// with these types; else a message naming the file and the first field that
// is missing, extra or of another type.
struct WantedField {
    QString name;
    ParadoxType type;
};
QString MatchFields(const ParadoxTable& table, const QString& fileName, const QList<WantedField>& wanted,
                    QList<int>* columns);

// The type's name as Paradox shows it ("A", "S", "M").
QString ParadoxTypeName(ParadoxType type);

}  // namespace zelvara
