// Which register a register command works on: the file in the user's folder,
// or a register on a PostgreSQL server named by --register URL or, without
// it, by ZELVARA_REGISTER.
#pragma once

#include "cli/command_line.h"
#include "register/person_table.h"

namespace zelvara::cli {

void AddRegisterOption(Options& parser);

// Opens the chosen register into table. False when it could not be opened:
// the reason is on stderr already, and in table.Unavailability().
// A server may ask for a password: libpq takes it from ~/.pgpass or
// PGPASSWORD, never from the command line.
bool OpenChosenRegister(const Options& parser, PersonTable& table, const QString& folder, PersonTable::OpenMode mode);

// True when the command names a server register.
bool ServerRegisterChosen(const Options& parser);

}  // namespace zelvara::cli
