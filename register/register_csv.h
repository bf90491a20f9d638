// The register as a CSV file (RFC 4180): a header line of the field names in
// register order, then one line per record, CRLF line ends, fields quoted when
// they hold a comma, a quote, a line break or blanks at either end. Written as
// UTF-8 with a byte-order mark (a Japanese spreadsheet opens it as such) or as
// Shift-JIS; read in either, the columns in any order by their header names.
//
// A spreadsheet takes a cell beginning with = + - − @ or a tab for a formula.
// Such a value is written with an apostrophe in front ('=A1), which the
// spreadsheet shows as text; reading takes the apostrophe off again, so a
// round trip keeps every value as it was.
//
// The exact birth time follows the fields in five columns — 出生時刻, 出生地,
// 経度, タイムゾーン, 補正 (none, mean, true; empty: the settings' choice) —
// written when some record has one, empty for a record without; a file
// without them reads as records without. After them the column 流派 names the
// convention profile chosen for the record (empty: none), written when some
// record has one; a name the settings here do not know is kept as it is.
#pragma once

#include "register/register_import.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace zelvara {

enum class CsvEncoding { Utf8, Cp932 };

// The exact birth time's columns, in their order.
const QStringList& BirthTimeCsvColumns();
// The five cells of a record's exact time in those columns; all empty for none.
QStringList BirthTimeCsvCells(const std::optional<BirthTimeEntry>& entry);

// The profile's column: 流派.
const QString& ProfileCsvColumn();

// The file's bytes; empty with *error set when a value cannot be written in
// Shift-JIS (naming the record). times: each record's exact birth time, or
// empty when none has one; profiles: each record's profile name, or empty.
QByteArray WriteRegisterCsv(const std::vector<PersonValues>& records, CsvEncoding encoding, QString* error,
                            const RecordBirthTimes& times = {}, const RecordProfiles& profiles = {});

struct CsvContent {
    QString error;  // the file as a whole cannot be read; names the file and line
    // One a record, line = where it starts in the file; a line whose field
    // count does not match the header comes with its problem.
    std::vector<ImportItem> items;
};

// Detects the encoding (a UTF-8 byte-order mark, valid UTF-8, else Shift-JIS)
// and parses with libcsv. fileName is only used in messages. Columns missing
// from the header read as empty; the name and birth columns must be there.
CsvContent ReadRegisterCsv(const QByteArray& bytes, const QString& fileName);

// The rows of a CSV file, header first, each with the line it starts on:
// decoded as ReadRegisterCsv decodes (UTF-8 with or without its mark, else
// Shift-JIS), refused as a whole when it holds binary data or is not CSV.
// nullopt with *error naming the file and line.
struct CsvRows {
    std::vector<std::vector<QString>> rows;
    std::vector<int> lines;
};
std::optional<CsvRows> ReadCsvRows(const QByteArray& bytes, const QString& fileName, QString* error);
// Appends one line of cells, each guarded for a spreadsheet and quoted as
// needed, ended by CRLF.
void AppendCsvLine(QString& out, const QStringList& cells);
// The text as a file's bytes: UTF-8 with its mark, or Shift-JIS (empty, with
// *bad the characters it cannot write, when it cannot).
QByteArray EncodeCsvText(const QString& text, CsvEncoding encoding, QString* bad);

// A value as written for a spreadsheet, and as read back.
QString GuardedForSpreadsheet(const QString& value);
QString UnguardedFromSpreadsheet(const QString& value);

}  // namespace zelvara
