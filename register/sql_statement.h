// One SQL statement run with its values bound in order, on the register's
// own connection (a file or a server).
#pragma once

#include <QString>
#include <QVariantList>

class QSqlDatabase;
class QSqlError;

namespace zelvara {

// Prepares sql, binds values and runs it; false with *error. rows, when
// given, takes the number of rows the statement changed.
bool RunStatement(const QSqlDatabase& db, const QString& sql, const QVariantList& values, QSqlError* error,
                  int* rows = nullptr);

}  // namespace zelvara
