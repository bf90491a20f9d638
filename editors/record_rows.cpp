#include "editors/record_rows.h"

#include "common/sqlite_connection.h"
#include "editors/reading_table.h"
#include "engine/context.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <functional>

namespace zelvara {
namespace {

// Runs work(db) in one transaction on a short-lived connection to the table's
// file; any failure rolls back and is reported with what.
bool InTransaction(const ReadingTable& table, MessageSink& sink, const QString& what,
                   const std::function<QString(QSqlDatabase&)>& work) {
    const ScopedSqliteConnection connection(NewConnectionName(QStringLiteral("reading-records")), table.FilePath());
    QString why = connection.error();
    if (why.isEmpty()) {
        QSqlDatabase db = connection.db();
        if (!db.transaction()) {
            why = db.lastError().text();
        } else {
            why = work(db);
            if (why.isEmpty() && !db.commit()) why = db.lastError().text();
            if (!why.isEmpty()) db.rollback();
        }
    }
    if (!why.isEmpty())
        sink.Show(QStringLiteral("鑑定文の表「%1」%2できません。\n%3").arg(table.FileName(), what, why).toStdString(),
                  {});
    return why.isEmpty();
}

}  // namespace

bool AppendRecord(const ReadingTable& table, MessageSink& sink) {
    const QString t = QuotedName(table.Schema().tableName);
    return InTransaction(table, sink, QStringLiteral("に記録を追加"), [&](QSqlDatabase& db) -> QString {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT COALESCE(MAX(\"No\"), 0) + 1 FROM %1").arg(t)) || !q.next())
            return q.lastError().text();
        const int no = q.value(0).toInt();
        if (no > 32767) return QStringLiteral("番号（No）が 32767 を超えます。");
        q.prepare(QStringLiteral("INSERT INTO %1 (\"No\") VALUES (?)").arg(t));
        q.addBindValue(no);
        return q.exec() ? QString() : q.lastError().text();
    });
}

bool RemoveRecord(const ReadingTable& table, int row, const QString& no, MessageSink& sink) {
    const QString t = QuotedName(table.Schema().tableName);
    return InTransaction(table, sink, QStringLiteral("から記録を削除"), [&](QSqlDatabase& db) -> QString {
        QSqlQuery q(db);
        if (table.Schema().keyedByNo) {
            q.prepare(QStringLiteral("DELETE FROM %1 WHERE \"No\" = ?").arg(t));
            q.addBindValue(no.toInt());
        } else {
            // The table order of an unkeyed table is the order of the file.
            q.prepare(
                QStringLiteral("DELETE FROM %1 WHERE rowid = (SELECT rowid FROM %1 ORDER BY rowid LIMIT 1 OFFSET ?)")
                    .arg(t));
            q.addBindValue(row);
        }
        if (!q.exec()) return q.lastError().text();
        return q.numRowsAffected() == 1 ? QString() : QStringLiteral("削除する記録が見つかりません。");
    });
}

bool ReloadTable(ReadingTable& table, int row) {
    if (!table.Open(QFileInfo(table.FilePath()).absolutePath(), {})) return false;
    if (table.RecordCount() > 0) table.MoveTo(qBound(0, row, table.RecordCount() - 1));
    return true;
}

}  // namespace zelvara
