// The user's texts from Paradox tables: the five reading-text tables and the
// legends table, each read from the Paradox file of the same name (with its
// memo file) in a folder, every record checked against the table's fields,
// then — after a backup of the user's current tables — each table's records
// replaced at once. Each replacement is built through the single-table store
// beside the user's table and swapped in whole.
#pragma once

#include "common/single_table_store.h"
#include "readings/table_schema.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace zelvara {

// A table the texts import can replace: its file (the same name in the
// Paradox folder and in the user's folder) and the table inside as the
// single-table store keeps it (name, fields, the columns of a new table).
struct TextTableLayout {
    QString fileName;
    TableLayout table;  // a primary key (No) must be given and unique
};

// KYU12.db, KANTEI.DB, hosiImi.DB, Ai01.DB, Ai02.DB, helpbun.DB.
const QList<TextTableLayout>& TextTableLayouts();

struct TextTableRecords {
    int layout = 0;                    // index in TextTableLayouts()
    QString source;                    // the Paradox file read
    std::vector<QStringList> records;  // values in the layout's field order
};

struct TextsImport {
    // Nothing may be replaced: the folder holds none of the tables, or a
    // table or record is refused (each named with file and record number).
    QString error;
    std::vector<TextTableRecords> tables;
    QStringList notFound;  // tables without a Paradox file in the folder; left as they are
};

// Reads and checks every table found in folder; writes nothing.
TextsImport ReadTextsParadox(const QString& folder);

// For the confirmation: which of the user's tables would be replaced by
// what, and which stay.
QString DescribeTextsImport(const TextsImport& import, const QString& userFolder);

struct TextsReplaced {
    QString error;        // nothing was replaced; why
    QStringList backups;  // copies of the tables as they were
};

// Copies every table to be replaced into userFolder/backup first, then
// replaces each one's records (its content swapped in one SQLite
// transaction). When one cannot be replaced those done before are put back.
TextsReplaced ReplaceTexts(const TextsImport& import, const QString& userFolder);

}  // namespace zelvara
