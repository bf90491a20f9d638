// The exact birth time and place of a person, kept beside the register's
// eighteen fields, keyed by the person's record: in a companion table of the
// register's own file (nam_data.db, birth_time_sql.h) or in the server's
// tables. A person without an entry is charted from the hour period as always.
//
// The entry of a deleted person is kept with the deleted record and comes
// back with it; a row number used again never inherits someone else's time,
// and an entry without its person is never returned.
#pragma once

#include "register/birth_time_entry.h"

#include <QString>
#include <QtGlobal>

#include <optional>

namespace zelvara {

class PersonTable;

class BirthTimeTable {
public:
    static constexpr const char* kTableName = "birth_time";

    BirthTimeTable();
    ~BirthTimeTable();
    BirthTimeTable(const BirthTimeTable&) = delete;
    BirthTimeTable& operator=(const BirthTimeTable&) = delete;

    // Opens the companion table in the register file at registerPath on a
    // connection of its own; when writable, creates it and its trigger if
    // missing (the register's table must exist). Empty on success, else why
    // not.
    QString Open(const QString& registerPath, bool writable);
    // The entries of an open register, a file or a server, read and written
    // through the register itself (its connection, its access).
    void Attach(PersonTable& persons);
    void Close();
    bool IsOpen() const { return persons_ || !connection_.isEmpty(); }

    // The entry of the person in the register's row, none when nothing is
    // stored or the person is no longer in the register.
    std::optional<BirthTimeEntry> Read(qint64 person) const;

    // Stores or replaces the person's entry in one transaction. Empty on
    // success; else why not (a refused entry, a read-only register, a person
    // not in the register, a failed write), and nothing is changed.
    QString Write(qint64 person, const BirthTimeEntry& entry, bool outsideJapanConfirmed = false);
    // Removes the person's entry (nothing to remove is no fault).
    QString Remove(qint64 person);

private:
    bool Writable() const;

    QString connection_;
    bool writable_ = false;
    PersonTable* persons_ = nullptr;
};

}  // namespace zelvara
