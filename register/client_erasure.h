// Erasing a client completely at the client's request (Japan's
// personal-information law): the record, its exact birth time and profile, every
// consultation entry, the entries deleted alone, and the copies of the
// client's record kept among the deleted records (with their times and
// entries), in one transaction under the register's lock (a file) or its work
// of one at a time (a server). In a file the work runs with SQLite's
// secure_delete and the full-text index is merged afterwards, so that no
// erased text stays readable in the file. Backup copies are only read: the
// reader is told which of them still hold the client.
#pragma once

#include "register/person_storage.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace zelvara {

class PersonTable;

// What an erasure takes away.
struct ClientErasure {
    qint64 client = -1;
    PersonValues values;
    bool exactTime = false;
    QString profile;  // the name of the profile chosen for the client; empty: none
    int entries = 0;
    int deletedEntries = 0;             // deleted alone
    std::vector<qint64> deletedCopies;  // numbers in the deleted records
    int deletedCopyEntries = 0;         // kept with those copies
};

// What erasing the client would take away; nullopt with why when the client
// is not in the register or the register cannot be read. A deleted record is
// a copy of the client's when its name, birth date and sex are the client's.
std::optional<ClientErasure> PlanClientErasure(PersonTable& table, qint64 client, QString* why);

// The confirmation's text naming all that goes.
QString ClientErasureText(const ClientErasure& plan);

// Erases all the plan names, in one transaction, and reads the view again.
// Refused, with nothing changed, on a register that cannot be written, while
// another desk does work of one at a time, or when the client changed since
// the plan was made (its record or the number of its entries). When the
// refusal is another desk's work, *holder names that desk.
PersonWrite EraseClient(PersonTable& table, const ClientErasure& plan, QString* holder = nullptr);

// A backup copy of the register that still holds the client, or one that
// could not be read (and so may).
struct BackupHolding {
    QString file;  // the copy's file name
    QDate date;    // of the copy: from the name (nam_data-YYYYMMDD…), else the file's time
    bool readable = true;
    QString why;  // when not readable
};

// The copies in folder (*.db) that hold a record or a deleted record with the
// client's name, birth date and sex, and those that cannot be read; each
// opened read-only and immutable, never changed. Oldest first.
std::vector<BackupHolding> BackupCopiesHolding(const QString& folder, const PersonValues& values);

// What the reader is told after an erasure: the copies that still hold the
// client (or that none does), or on a server that its backups are kept by the
// server's administrator.
QString BackupHoldingText(const std::vector<BackupHolding>& copies, bool server, const QString& folder);

}  // namespace zelvara
