// Records for the register from a Paradox table with the register's fields
// (nam_data.db of the older program): the fields are matched by name, every
// record becomes an import row numbered by its place in the table, and the
// register's own import checks, backs up and writes them (register_import.h).
#pragma once

#include "register/register_import.h"

#include <QString>

#include <vector>

namespace zelvara {

struct ParadoxRecords {
    QString error;                  // the table as a whole cannot be read; names the file
    std::vector<ImportItem> items;  // line = record number, from 1
};

ParadoxRecords ReadRegisterParadox(const QString& path);

}  // namespace zelvara
