// The exact birth times in SQL. Shared by the register file and the server:
// the columns every table of them has after its key, and how an entry is
// bound and read back. For a register file: the companion tables — birth_time
// by the person's rowid (a trigger removes the entry of a person deleted by
// any program), birth_time_deleted by the number of a deleted record, so that
// bringing the record back brings its time back — on a connection its owner
// opened, inside the owner's transaction.
#pragma once

#include "register/birth_time_entry.h"

#include <QString>
#include <QtGlobal>

#include <optional>
#include <unordered_map>

class QSqlDatabase;
class QSqlError;
class QSqlQuery;

namespace zelvara {

inline constexpr const char* kBirthTimeTableName = "birth_time";
inline constexpr const char* kDeletedBirthTimeTableName = "birth_time_deleted";

// "clock_time, place, longitude, zone, correction", each name after prefix.
QString BirthTimeColumns(const QString& prefix = {});
// Binds the entry's five values in the columns' order.
void BindBirthTimeEntry(QSqlQuery& q, const BirthTimeEntry& entry);
// The entry in the five columns from first on.
BirthTimeEntry BirthTimeEntryAt(const QSqlQuery& q, int first);

// --- a register file ---

bool SqliteTableExists(const QSqlDatabase& db, const QString& table);
// Makes the two tables and the trigger when missing; a birth_time of an
// earlier version gains the zone and correction columns. False with *error.
bool CreateSqliteBirthTimeTables(const QSqlDatabase& db, QSqlError* error);
// The person's entry, none when there is none, the person is not in the
// register or the file has no table of them.
std::optional<BirthTimeEntry> ReadSqliteBirthTime(const QSqlDatabase& db, qint64 person);
// Every entry of a person in the register, by rowid; nullopt with why when
// they cannot be read.
std::optional<std::unordered_map<qint64, BirthTimeEntry>> ReadSqliteBirthTimes(const QSqlDatabase& db, QString* why);
// Stores or replaces the entry of a person in the register (the tables must
// exist); *found false when the person is not there. False with *error.
bool WriteSqliteBirthTime(const QSqlDatabase& db, qint64 person, const BirthTimeEntry& entry, bool* found,
                          QSqlError* error);
bool RemoveSqliteBirthTime(const QSqlDatabase& db, qint64 person, QSqlError* error);
// Copies the person's entry, if any, to the deleted ones under number; the
// caller then removes the person's row (the trigger drops the entry). Nothing
// to do in a file without entries. False with *error.
bool KeepDeletedBirthTime(const QSqlDatabase& db, qint64 person, qint64 number, QSqlError* error);
// Moves the entry kept under number, if any, back to the person (the deleted
// record brought back under a new row). False with *error.
bool BringBackBirthTime(const QSqlDatabase& db, qint64 number, qint64 person, QSqlError* error);

}  // namespace zelvara
