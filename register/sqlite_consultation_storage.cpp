// The consultation record's tables in a register file. The full-text index is
// FTS5 with the trigram tokenizer (SQLite 3.34 and later; Debian 12 has
// 3.40), kept by triggers as an external-content table over consultation, so
// the texts are stored once. Each text is indexed with U+001F after it, a
// character no entry may hold: so every two characters of a text, its last
// two and a theme of two characters included, begin some indexed trigram, and
// a two-character search looks up the trigrams that begin with them.
#include "register/consultation_storage.h"

namespace zelvara {

QStringList SqliteConsultationSchema() {
    const QString fields = QStringLiteral(
        "session_date TEXT NOT NULL, session_time TEXT NOT NULL DEFAULT '', theme TEXT NOT NULL DEFAULT '', "
        "question TEXT NOT NULL DEFAULT '', notes TEXT NOT NULL DEFAULT '', profile TEXT NOT NULL DEFAULT '', "
        "reading TEXT NOT NULL DEFAULT '', birth_time TEXT NOT NULL DEFAULT '', fee INTEGER, "
        "paid INTEGER NOT NULL DEFAULT 0, next_date TEXT NOT NULL DEFAULT '', next_time TEXT NOT NULL DEFAULT ''");
    const QString addText = QStringLiteral(
        "INSERT INTO consultation_text (rowid, theme, question, notes) VALUES (NEW.id, NEW.theme || char(31), "
        "NEW.question || char(31), NEW.notes || char(31));");
    const QString removeText = QStringLiteral(
        "INSERT INTO consultation_text (consultation_text, rowid, theme, question, notes) "
        "VALUES ('delete', OLD.id, OLD.theme || char(31), OLD.question || char(31), OLD.notes || char(31));");
    return {
        QStringLiteral("CREATE TABLE IF NOT EXISTS consultation (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "version INTEGER NOT NULL DEFAULT 1, person INTEGER NOT NULL, %1)")
            .arg(fields),
        QStringLiteral("CREATE INDEX IF NOT EXISTS consultation_person ON consultation (person, session_date, "
                       "session_time)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS consultation_next ON consultation (next_date, next_time)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS consultation_deleted (number INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "deleted_at TEXT NOT NULL, entry_id INTEGER NOT NULL, client_number INTEGER, "
                       "with_client INTEGER NOT NULL DEFAULT 0, version INTEGER NOT NULL, person INTEGER NOT NULL, "
                       "%1)")
            .arg(fields),
        QStringLiteral("CREATE INDEX IF NOT EXISTS consultation_deleted_client ON consultation_deleted "
                       "(client_number)"),
        QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS consultation_text USING fts5(theme, question, notes, "
                       "content='consultation', content_rowid='id', tokenize='trigram')"),
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS consultation_text_added AFTER INSERT ON consultation BEGIN %1 END")
            .arg(addText),
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS consultation_text_removed AFTER DELETE ON consultation "
                       "BEGIN %1 END")
            .arg(removeText),
        // A client deleted by a program that does not move its entries
        // (an earlier version, another tool): they are kept as deleted, under
        // no client (a negative key is never a record's), so that they are
        // neither lost nor given to a later client under the same rowid.
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS consultation_client_deleted AFTER DELETE ON nam_data BEGIN "
                       "INSERT INTO consultation_deleted (deleted_at, entry_id, with_client, version, person, %1) "
                       "SELECT strftime('%Y-%m-%dT%H:%M:%S', 'now', 'localtime'), id, 0, version, -OLD.rowid, %1 "
                       "FROM consultation WHERE person = OLD.rowid; "
                       "DELETE FROM consultation WHERE person = OLD.rowid; END")
            .arg(QStringLiteral("session_date, session_time, theme, question, notes, profile, reading, birth_time, "
                                "fee, paid, next_date, next_time")),
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS consultation_text_changed AFTER UPDATE OF theme, question, notes "
                       "ON consultation BEGIN %1 %2 END")
            .arg(removeText, addText),
    };
}

}  // namespace zelvara
