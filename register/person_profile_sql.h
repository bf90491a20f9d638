// A client's convention profile (規則の組, the reader's 流派) kept beside the
// record by its name, in a register file and on a server alike, over the
// register's own connection: person_profile by the person's key (rowid in a
// file, id on a server; a trigger in the file and the foreign key on the
// server drop the entry of a person deleted by any program) and
// person_profile_deleted by the number of a deleted record, so that bringing
// the record back brings its profile back. A register without the tables (an
// older file, a read-only one, a server not yet upgraded) has no profiles: every
// client reads as none chosen. The file's tables are made with the first
// profile written; a server's come from data/sql/register-postgresql.sql.
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <unordered_map>
#include <vector>

class QSqlDatabase;
class QSqlError;

namespace zelvara {

inline constexpr const char* kProfileTableName = "person_profile";
inline constexpr const char* kDeletedProfileTableName = "person_profile_deleted";

// Each record's profile name, one for each record (empty: none chosen), or
// empty when no record has one.
using RecordProfiles = std::vector<QString>;

// Why a profile cannot be written where the tables are not writable (a
// server of an earlier version the user may not upgrade, or tables the user
// has no rights on).
QString NoProfileTablesText();
// Both tables are there.
bool ProfileTablesPresent(const QSqlDatabase& db);
// ... and, on a server, the user may read and write them. Where they are
// present but not readable every client reads as none chosen; where they
// are not writable a deleted record's profile is not kept.
bool ProfileTablesWritable(const QSqlDatabase& db);
// In a register file: makes the two tables and the trigger when missing.
// False with *error.
bool CreateSqliteProfileTables(const QSqlDatabase& db, QSqlError* error);

// The person's profile name, empty when none is kept (or the person is not
// in the register); nullopt with *why when it cannot be read.
std::optional<QString> ReadPersonProfile(const QSqlDatabase& db, qint64 person, QString* why);
// Every person's, by key; nullopt with *why when unreadable.
std::optional<std::unordered_map<qint64, QString>> ReadPersonProfiles(const QSqlDatabase& db, QString* why);

// Inside the caller's transaction, the tables present: stores or replaces
// the person's profile, or removes it when name is empty; *found false when
// the person is not in the register. False with *error.
bool WritePersonProfile(const QSqlDatabase& db, qint64 person, const QString& name, bool* found, QSqlError* error);

// Inside the register's transaction while a person is deleted: the person's
// profile, if any, is kept under the deleted record's number (the caller then
// removes the person's row, which drops the entry). Nothing to do where the
// tables are not. False with *error.
bool KeepDeletedProfile(const QSqlDatabase& db, qint64 person, qint64 number, QSqlError* error);
// While the deleted record comes back under a new key: its profile with it.
bool BringBackProfile(const QSqlDatabase& db, qint64 number, qint64 person, QSqlError* error);
// The erasure of a client: the profile of the person and those kept under
// the deleted records' numbers. Nothing to do where the tables are not.
bool EraseProfiles(const QSqlDatabase& db, qint64 person, const std::vector<qint64>& numbers, QSqlError* error);

}  // namespace zelvara
