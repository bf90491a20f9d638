// A fresh program folder with seed files a test writes, and the reading
// tables opened on it.
#pragma once

#include "reading_tables.h"
#include "recording_sink.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class ReadingFixture {
public:
    ReadingFixture() { QDir(dir.path()).mkpath(QStringLiteral("seed")); }

    QString Folder() const { return dir.path(); }
    QString SeedFolder() const { return dir.filePath(QStringLiteral("seed")); }

    void WriteSeed(const QString& name, const QByteArray& utf8)
    {
        QFile f(QDir(SeedFolder()).filePath(name));
        QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(f.fileName()));
        f.write(utf8);
    }
    void WriteSeed(const QString& name, const QString& text) { WriteSeed(name, text.toUtf8()); }
    void WriteSeed(const QString& name, const char* utf8) { WriteSeed(name, QByteArray(utf8)); }

    // A one-record seed (hosiImi, Ai01, Ai02) from field: value pairs.
    static QString OneRecord(const QList<QPair<QString, QString>>& fields)
    {
        QString s = QStringLiteral("[記録]\nNo: 1\n");
        for (const auto& f : fields)
            s += f.first + QStringLiteral(": <<\n") + f.second + QStringLiteral("\n>>\n");
        return s;
    }

    // Writes empty seeds for every table not written yet, then opens them.
    zelvara::ReadingTables& Open()
    {
        for (const char* name : {"KYU12.txt", "KANTEI.txt", "hosiImi.txt", "Ai01.txt", "Ai02.txt", "hosi2dat.txt"}) {
            const QString path = QDir(SeedFolder()).filePath(QString::fromLatin1(name));
            if (!QFile::exists(path))
                WriteSeed(QString::fromLatin1(name), QByteArray());
        }
        tables = std::make_unique<zelvara::ReadingTables>(sink);
        tables->Open(Folder(), {SeedFolder()});
        return *tables;
    }

    QTemporaryDir dir;
    RecordingSink sink;
    std::unique_ptr<zelvara::ReadingTables> tables;
};
