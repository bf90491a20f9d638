// The file of one reading-text table: made from its seed when missing, opened
// through the single-table store and read in table order; and where seeds are
// looked for. The editors' open
// tables and the readings' texts read a file the same way; each function
// gives the message for the user when it fails, else an empty text.
#pragma once

#include "common/single_table_store.h"
#include "readings/table_schema.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zelvara {

// Makes the file at path from the seed source, taken from the first of
// seedFolders that has it, when the file is missing or empty; a file that
// exists is never replaced. Then checks that the file can be read.
QString PrepareTableFile(const TableSchema& schema, const QString& path, const QStringList& seedFolders);

// Opens the prepared file in the store.
QString OpenTableFile(SingleTableStore& store, const QString& path, bool readOnly = false);

// The layout's fields the open file has (a file of an older layout shows the
// ones it has), in layout order, and every record in table order (by No where
// No is the key, else as stored). Only the layout's own names reach the query.
QString ReadTableRecords(const TableSchema& schema, const SingleTableStore& store, QStringList& columns,
                         QList<SingleTableStore::Row>& rows);

// Where seeds are looked for: the given folder's seed/ first (the program
// folder, or the user's data folder when installed), then the seed/ folder
// shipped with the running executable (beside it, where the build copies
// data/seed, or installed in share/zelvara), so that a folder given by --home
// or ZELVARA_HOME, or a new user's data folder, still gets its tables made.
QStringList SeedFolders(const QString& programFolder);

}  // namespace zelvara
