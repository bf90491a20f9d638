#include "reading_tables.h"

#include "shipped_folder.h"

#include <QCoreApplication>
#include <QDir>

namespace zelvara {

ReadingTables::ReadingTables(MessageSink& sink, QObject* parent)
    : QObject(parent), sink_(sink), texts_(std::make_shared<const ReadingTexts>())
{
    for (TableId id : AllReadingTables()) {
        tables_[int(id)] = new ReadingTable(id, sink, this);
        connect(tables_[int(id)], &ReadingTable::saved, this, [this, id] { Publish(id); });
    }
}

bool ReadingTables::Open(const QString& programFolder, const QStringList& seedFolders)
{
    bool all = true;
    for (ReadingTable* t : tables_)
        all = t->Open(programFolder, seedFolders) && all;
    all = starPairs_.Prepare(programFolder, seedFolders, sink_) && all;
    texts_ = std::make_shared<const ReadingTexts>(texts_->With(StarPairTexts::Read(starPairs_.FilePath())));
    return all;
}

void ReadingTables::Publish(TableId id)
{
    texts_ = std::make_shared<const ReadingTexts>(texts_->With(id, Table(id).SavedTexts()));
}

bool ReadingTables::HasPendingEdits() const
{
    for (const ReadingTable* t : tables_)
        if (t->IsOpen() && t->IsModified())
            return true;
    return false;
}

bool ReadingTables::SaveAllPending(const std::function<bool(const QString&)>& askDiscard)
{
    QStringList refused;
    for (ReadingTable* t : tables_)
        if (t->IsOpen() && !t->PostPending())
            refused << t->FileName();
    if (refused.isEmpty())
        return true;
    const QString question = QStringLiteral("鑑定文の表「%1」の変更を保存できませんでした。\n"
                                            "保存できなかった変更を破棄しますか？\n"
                                            "（「いいえ」を選ぶと変更は残り、編集画面で直すことができます）")
                                 .arg(refused.join(QStringLiteral("」「")));
    if (!askDiscard || !askDiscard(question))
        return false;
    DiscardAllPending();
    return true;
}

void ReadingTables::DiscardAllPending()
{
    for (ReadingTable* t : tables_)
        t->Cancel();
}

QStringList SeedFolders(const QString& programFolder)
{
    QStringList folders{QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral("seed")))};
    if (QCoreApplication::instance()) {
        // The seeds shipped with this program: beside it, or installed in share/zelvara.
        const std::string shipped = ShippedFolderOf(QCoreApplication::applicationDirPath().toStdString());
        const QString beside = QDir::cleanPath(QDir(QString::fromStdString(shipped)).filePath(QStringLiteral("seed")));
        if (!folders.contains(beside))
            folders << beside;
    }
    return folders;
}

}  // namespace zelvara
