#include "editors/reading_tables.h"

namespace zelvara {

ReadingTables::ReadingTables(MessageSink& sink, QObject* parent)
    : QObject(parent), sink_(sink), texts_(std::make_shared<const ReadingTexts>()) {
    for (TableId id : AllReadingTables()) {
        tables_[int(id)] = new ReadingTable(id, sink, this);
        connect(tables_[int(id)], &ReadingTable::saved, this, [this, id] { Publish(id); });
    }
}

bool ReadingTables::Open(const QString& programFolder, const QStringList& seedFolders) {
    bool all = true;
    for (ReadingTable* t : tables_) all = t->Open(programFolder, seedFolders) && all;
    all = starPairs_.Prepare(programFolder, seedFolders, sink_) && all;
    texts_ = std::make_shared<const ReadingTexts>(texts_->With(StarPairTexts::Read(starPairs_.FilePath())));
    return all;
}

void ReadingTables::Publish(TableId id) {
    texts_ = std::make_shared<const ReadingTexts>(texts_->With(id, Table(id).SavedTexts()));
}

bool ReadingTables::HasPendingEdits() const {
    for (const ReadingTable* t : tables_)
        if (t->IsOpen() && t->IsModified()) return true;
    return false;
}

bool ReadingTables::SaveAllPending(const std::function<bool(const QString&)>& askDiscard) {
    QStringList refused;
    for (ReadingTable* t : tables_)
        if (t->IsOpen() && !t->PostPending()) refused << t->FileName();
    if (refused.isEmpty()) return true;
    const QString question = QStringLiteral(
                                 "鑑定文の表「%1」の変更を保存できませんでした。\n"
                                 "保存できなかった変更を破棄しますか？\n"
                                 "（「いいえ」を選ぶと変更は残り、編集画面で直すことができます）")
                                 .arg(refused.join(QStringLiteral("」「")));
    if (!askDiscard || !askDiscard(question)) return false;
    DiscardAllPending();
    return true;
}

void ReadingTables::DiscardAllPending() {
    for (ReadingTable* t : tables_) t->revert();
}

}  // namespace zelvara
