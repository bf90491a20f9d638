// The register's eighteen values as lists and as bound or read SQL values:
// shared by the table and both storages.
#pragma once

#include "register/person_storage.h"

#include <QSqlQuery>
#include <QStringList>

namespace zelvara {

inline QStringList PersonValuesToList(const PersonValues& values) { return QStringList(values.begin(), values.end()); }

inline PersonValues PersonValuesFromList(const QStringList& list) {
    PersonValues values;
    for (int i = 0; i < kPersonFieldCount; ++i) values[i] = list.value(i);
    return values;
}

// Binds the values in field order; a null text is bound as the empty one (the
// columns hold no NULL).
inline void BindPersonValues(QSqlQuery& q, const PersonValues& values) {
    for (const QString& v : values) q.addBindValue(v.isNull() ? QStringLiteral("") : v);
}

// The values of the current row from column firstColumn on.
inline PersonValues ReadPersonValues(const QSqlQuery& q, int firstColumn) {
    PersonValues values;
    for (int i = 0; i < kPersonFieldCount; ++i) values[i] = q.value(firstColumn + i).toString();
    return values;
}

}  // namespace zelvara
