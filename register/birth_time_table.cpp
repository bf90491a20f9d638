#include "register/birth_time_table.h"

#include "common/sqlite_connection.h"
#include "register/birth_time_sql.h"
#include "register/person_table.h"

#include <QSqlDatabase>
#include <QSqlError>

namespace zelvara {
namespace {

QString Fault(const QString& what, const QSqlError& error) {
    return QStringLiteral("出生時刻・出生地を%1できません（%2）。").arg(what, error.text());
}

const QString kNoPerson = QStringLiteral("出生時刻・出生地を保存する人が名簿にありません。先に名簿に登録して下さい。");

}  // namespace

BirthTimeTable::BirthTimeTable() = default;

BirthTimeTable::~BirthTimeTable() { Close(); }

QString BirthTimeTable::Open(const QString& registerPath, bool writable) {
    Close();
    const QString name = NewConnectionName(QStringLiteral("birth_time"));
    if (const QString error = OpenSqliteConnection(name, registerPath, !writable); !error.isEmpty())
        return QStringLiteral("名簿 %1 を開けません（%2）。").arg(registerPath, error);
    if (writable) {
        const QString why = [&] {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            QSqlError error;
            if (db.transaction() && CreateSqliteBirthTimeTables(db, &error) && db.commit()) return QString();
            db.rollback();
            return Fault(QStringLiteral("記録する表を作成"), error.isValid() ? error : db.lastError());
        }();
        if (!why.isEmpty()) {
            CloseSqliteConnection(name);
            return why;
        }
    }
    connection_ = name;
    writable_ = writable;
    return {};
}

void BirthTimeTable::Attach(PersonTable& persons) {
    Close();
    persons_ = &persons;
}

void BirthTimeTable::Close() {
    persons_ = nullptr;
    if (connection_.isEmpty()) return;
    CloseSqliteConnection(connection_);
    connection_.clear();
}

bool BirthTimeTable::Writable() const {
    return persons_ ? persons_->IsWritable() : !connection_.isEmpty() && writable_;
}

std::optional<BirthTimeEntry> BirthTimeTable::Read(qint64 person) const {
    if (persons_) return persons_->BirthTime(person);
    if (connection_.isEmpty()) return std::nullopt;
    return ReadSqliteBirthTime(QSqlDatabase::database(connection_, false), person);
}

QString BirthTimeTable::Write(qint64 person, const BirthTimeEntry& entry, bool outsideJapanConfirmed) {
    if (const QString fault = BirthTimeEntryFault(entry, outsideJapanConfirmed); !fault.isEmpty()) return fault;
    if (!Writable()) return QStringLiteral("名簿が読み取り専用で開かれているため、出生時刻・出生地は保存できません。");
    if (persons_) {
        const PersonWrite w = persons_->WriteBirthTime(person, entry);
        return w.Ok() ? QString() : w.result == PersonWrite::Result::Stale ? kNoPerson : w.why;
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!db.transaction()) return Fault(QStringLiteral("保存"), db.lastError());
    QSqlError error;
    bool found = false;
    if (!WriteSqliteBirthTime(db, person, entry, &found, &error)) {
        db.rollback();
        return Fault(QStringLiteral("保存"), error);
    }
    if (!found) {
        db.rollback();
        return kNoPerson;
    }
    if (!db.commit()) {
        const QString why = Fault(QStringLiteral("保存"), db.lastError());
        db.rollback();
        return why;
    }
    return {};
}

QString BirthTimeTable::Remove(qint64 person) {
    if (!Writable()) return QStringLiteral("名簿が読み取り専用で開かれているため、出生時刻・出生地は消せません。");
    if (persons_) {
        const PersonWrite w = persons_->RemoveBirthTime(person);
        return w.Ok() ? QString() : w.why;
    }
    QSqlError error;
    if (!RemoveSqliteBirthTime(QSqlDatabase::database(connection_, false), person, &error))
        return Fault(QStringLiteral("消去"), error);
    return {};
}

}  // namespace zelvara
