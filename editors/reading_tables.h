// The reading texts of a run: the five reading-text tables and the star-pair
// file, opened once at start-up. The editor windows edit the tables; the
// readings compose from Texts(), the texts as saved, which every save in an
// editor replaces with a new value.
#pragma once

#include "editors/reading_table.h"
#include "readings/reading_texts.h"
#include "readings/star_pairs.h"
#include "readings/table_file.h"

#include <QObject>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

namespace zelvara {

class MessageSink;

class ReadingTables : public QObject {
    Q_OBJECT
public:
    explicit ReadingTables(MessageSink& sink, QObject* parent = nullptr);

    // Opens every table in the program folder, making missing ones (and a
    // missing hosi2dat.txt) from their seeds. A table that cannot be opened
    // is reported and stays closed; the others open regardless. True when
    // everything is ready.
    bool Open(const QString& programFolder, const QStringList& seedFolders);

    ReadingTable& Table(TableId id) { return *tables_[int(id)]; }
    ReadingTable& kyu12() { return Table(TableId::Kyu12); }
    ReadingTable& kantei() { return Table(TableId::Kantei); }
    ReadingTable& hosiImi() { return Table(TableId::HosiImi); }
    ReadingTable& ai01() { return Table(TableId::Ai01); }
    ReadingTable& ai02() { return Table(TableId::Ai02); }
    // The texts as last saved, for the readings; a composition keeps the
    // value it started with, whatever is saved meanwhile.
    std::shared_ptr<const ReadingTexts> Texts() const { return texts_; }

    MessageSink& Sink() const { return sink_; }

    // Whether an open table holds edits not yet saved.
    bool HasPendingEdits() const;
    // For the end of the program: saves the pending edits of every open
    // table. A refused one is reported (the message names the table and the
    // record) and kept. Then, when askDiscard is given, it is asked the
    // question below; yes drops what could not be saved. True when nothing
    // is left pending, so that the program may end.
    bool SaveAllPending(const std::function<bool(const QString& question)>& askDiscard = {});
    // Drops the pending edits of every table.
    void DiscardAllPending();

private:
    void Publish(TableId id);

    MessageSink& sink_;
    std::array<ReadingTable*, kReadingTableCount> tables_{};
    StarPairFile starPairs_;
    std::shared_ptr<const ReadingTexts> texts_;
};

}  // namespace zelvara
