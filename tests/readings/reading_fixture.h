// A fresh program folder with seed files a test writes, and the reading
// tables opened on it.
#pragma once

#include "editors/reading_tables.h"
#include "tests/recording_sink.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <stdexcept>

// A scan that asks again and again gives up after this many messages.
constexpr std::size_t kBoundedMessages = 20;

class ReadingFixture {
public:
    ReadingFixture() { QDir(dir.path()).mkpath(QStringLiteral("seed")); }

    QString Folder() const { return dir.path(); }
    QString SeedFolder() const { return dir.filePath(QStringLiteral("seed")); }

    void WriteSeed(const QString& name, const QByteArray& utf8) {
        QFile f(QDir(SeedFolder()).filePath(name));
        QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(f.fileName()));
        f.write(utf8);
    }
    void WriteSeed(const QString& name, const QString& text) { WriteSeed(name, text.toUtf8()); }
    void WriteSeed(const QString& name, const char* utf8) { WriteSeed(name, QByteArray(utf8)); }

    // A one-record seed (hosiImi, Ai01, Ai02) from field: value pairs.
    static QString OneRecord(const QList<QPair<QString, QString>>& fields) {
        QString s = QStringLiteral("[記録]\nNo: 1\n");
        for (const auto& f : fields) s += f.first + QStringLiteral(": <<\n") + f.second + QStringLiteral("\n>>\n");
        return s;
    }

    // Makes a table file by hand, as an older or damaged copy might be: the
    // table's fields except those dropped, one record per map of values.
    void MakeTableWithout(zelvara::TableId id, const QStringList& dropped, const QList<QHash<QString, QString>>& rows) {
        const zelvara::TableSchema& schema = zelvara::SchemaOf(id);
        QStringList cols, marks;
        for (const QString& f : schema.FieldNames()) {
            if (!dropped.contains(f)) {
                cols << QLatin1Char('"') + f + QLatin1Char('"');
                marks << QStringLiteral("?");
            }
        }
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("by-hand"));
            db.setDatabaseName(dir.filePath(schema.fileName));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(schema.tableName, cols.join(','))));
            for (const auto& row : rows) {
                q.prepare(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                              .arg(schema.tableName, cols.join(','), marks.join(',')));
                for (const QString& f : schema.FieldNames())
                    if (!dropped.contains(f)) q.addBindValue(row.value(f));
                QVERIFY(q.exec());
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("by-hand"));
    }

    // Writes empty seeds for every table not written yet, then opens them.
    zelvara::ReadingTables& Open() {
        for (const char* name : {"KYU12.txt", "KANTEI.txt", "hosiImi.txt", "Ai01.txt", "Ai02.txt", "hosi2dat.txt"}) {
            const QString path = QDir(SeedFolder()).filePath(QString::fromLatin1(name));
            if (!QFile::exists(path)) WriteSeed(QString::fromLatin1(name), QByteArray());
        }
        tables = std::make_unique<zelvara::ReadingTables>(sink);
        tables->Open(Folder(), {SeedFolder()});
        return *tables;
    }

    // The texts the readings compose from: those last saved in the tables
    // opened, which are opened first when they are not yet.
    const zelvara::ReadingTexts& Texts() {
        if (!tables) Open();
        texts = tables->Texts();
        return *texts;
    }

    QTemporaryDir dir;
    RecordingSink sink;
    std::unique_ptr<zelvara::ReadingTables> tables;
    std::shared_ptr<const zelvara::ReadingTexts> texts;
};
