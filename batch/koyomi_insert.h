// The prepared INSERT of koyomi.DB records. Qt opens the table and runs the
// transactions; the records themselves go through SQLite's own statement
// interface when the build has it (ZELVARA_SQLITE_DIRECT), because binding 83
// values through QSqlQuery costs more than casting and storing the chart.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <QSqlQuery>

#include <optional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace zelvara::batch {

// One checked slot text in both forms; kept alive for the whole run.
struct SlotText {
    std::string utf8;
    QVariant value;  // a non-null QString: empty slots are empty text, not NULL
};

class KoyomiInsert {
public:
    KoyomiInsert() = default;
    KoyomiInsert(const KoyomiInsert&) = delete;
    KoyomiInsert& operator=(const KoyomiInsert&) = delete;
    ~KoyomiInsert() { Finish(); }

    // Empty on success, else the table engine's message.
    QString Prepare(const QSqlDatabase& db, const QString& sql);
    void BindInt(int field, int value);              // field 0-based
    void BindText(int field, const SlotText& text);  // text must outlive Exec
    QString Exec();
    void Finish();  // releases the statement (before the connection closes)

private:
    // One of the two is in use, by the build; the layout is the same in both.
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    std::optional<QSqlQuery> query_;
};

}  // namespace zelvara::batch
