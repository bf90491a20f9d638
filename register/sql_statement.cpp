#include "register/sql_statement.h"

#include <QSqlError>
#include <QSqlQuery>

namespace zelvara {

bool RunStatement(const QSqlDatabase& db, const QString& sql, const QVariantList& values, QSqlError* error, int* rows) {
    QSqlQuery q(db);
    bool ok = q.prepare(sql);
    for (const QVariant& v : values) q.addBindValue(v);
    ok = ok && q.exec();
    if (!ok)
        *error = q.lastError();
    else if (rows)
        *rows = q.numRowsAffected();
    return ok;
}

}  // namespace zelvara
