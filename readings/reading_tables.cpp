#include "reading_tables.h"

#include <QCoreApplication>
#include <QDir>

namespace zelvara {

ReadingTables::ReadingTables(MessageSink& sink, QObject* parent) : QObject(parent), sink_(sink)
{
    for (TableId id : AllReadingTables())
        tables_[int(id)] = new ReadingTable(id, sink, this);
}

bool ReadingTables::Open(const QString& programFolder, const QStringList& seedFolders)
{
    bool all = true;
    for (ReadingTable* t : tables_)
        all = t->Open(programFolder, seedFolders) && all;
    return starPairs_.Prepare(programFolder, seedFolders, sink_) && all;
}

QStringList SeedFolders(const QString& programFolder)
{
    QStringList folders{QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral("seed")))};
    if (QCoreApplication::instance()) {
        const QString beside = QDir::cleanPath(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("seed")));
        if (!folders.contains(beside))
            folders << beside;
    }
    return folders;
}

}  // namespace zelvara
