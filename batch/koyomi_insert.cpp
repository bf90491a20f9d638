#include "batch/koyomi_insert.h"

#include <QSqlDriver>
#include <QSqlError>

#ifdef ZELVARA_SQLITE_DIRECT
#include <sqlite3.h>
#endif

namespace zelvara::batch {

#ifdef ZELVARA_SQLITE_DIRECT

QString KoyomiInsert::Prepare(const QSqlDatabase& db, const QString& sql) {
    Finish();
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return QStringLiteral("SQLite の接続を取り出せません");
    db_ = *static_cast<sqlite3* const*>(handle.constData());
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &stmt_, nullptr) != SQLITE_OK) {
        const QString error = QString::fromUtf8(sqlite3_errmsg(db_));
        Finish();
        return error;
    }
    return {};
}

void KoyomiInsert::BindInt(int field, int value) { sqlite3_bind_int(stmt_, field + 1, value); }

void KoyomiInsert::BindText(int field, const SlotText& text) {
    sqlite3_bind_text(stmt_, field + 1, text.utf8.data(), int(text.utf8.size()), SQLITE_STATIC);
}

QString KoyomiInsert::Exec() {
    const int rc = sqlite3_step(stmt_);
    sqlite3_reset(stmt_);
    return rc == SQLITE_DONE ? QString() : QString::fromUtf8(sqlite3_errmsg(db_));
}

void KoyomiInsert::Finish() {
    if (stmt_) sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    db_ = nullptr;
}

#else

QString KoyomiInsert::Prepare(const QSqlDatabase& db, const QString& sql) {
    query_.emplace(db);
    return query_->prepare(sql) ? QString() : query_->lastError().text();
}

void KoyomiInsert::BindInt(int field, int value) { query_->bindValue(field, value); }

void KoyomiInsert::BindText(int field, const SlotText& text) { query_->bindValue(field, text.value); }

QString KoyomiInsert::Exec() { return query_->exec() ? QString() : query_->lastError().text(); }

void KoyomiInsert::Finish() { query_.reset(); }

#endif

}  // namespace zelvara::batch
