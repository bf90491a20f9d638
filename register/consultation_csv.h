// The consultation record as CSV, like the register's file (register_csv.h):
// RFC 4180, CRLF, UTF-8 with its mark or Shift-JIS, read in either, columns in
// any order by their header names. Each line names its client by the
// register's six identifying fields (氏名, 生まれた年 … 性別), then the
// entry's fields. An import checks every line first — the client must be
// in the register exactly once, the entry must pass ConsultationProblem —
// and writes nothing while any line is refused (unless the refused ones are
// skipped); entries already there (same client, date, time, theme, question
// and notes) are skipped; the rest go in in one transaction.
#pragma once

#include "register/consultation_storage.h"
#include "register/register_csv.h"

#include <QByteArray>

#include <unordered_map>
#include <vector>

namespace zelvara {

// The header, in order: the six client fields, then the entry's.
const QStringList& ConsultationCsvColumns();
// The entry's own cells, in the columns after the client's (鑑定日 … 次回の時刻).
QStringList ConsultationEntryCells(const ConsultationEntry& e);

// The file's bytes; empty with *error when a value cannot be written in
// Shift-JIS (naming the entry). clients: the register's records by key.
QByteArray WriteConsultationCsv(const std::vector<ConsultationListing>& entries,
                                const std::unordered_map<qint64, PersonValues>& clients, CsvEncoding encoding,
                                QString* error);

struct ConsultationCsvLine {
    int line = 0;
    ConsultationEntry entry;  // client set when found
    QString problem;          // why the line cannot go in
};

struct ConsultationCsv {
    QString error;  // the file as a whole cannot be read
    std::vector<ConsultationCsvLine> lines;
};

// Reads and checks every line against the register's records.
ConsultationCsv ReadConsultationCsv(const QByteArray& bytes, const QString& fileName,
                                    const std::vector<StoredPerson>& clients);

struct ConsultationImportReport {
    std::vector<std::pair<int, QString>> refused;  // line, reason
    int added = 0;
    int duplicates = 0;
    QString error;  // nothing was written; why
    bool written = false;
};

// Writes the lines that passed (all of them must unless skipBad).
ConsultationImportReport ImportConsultations(ConsultationStorage& storage, const ConsultationCsv& csv, bool skipBad,
                                             bool dryRun);

}  // namespace zelvara
