// The reading texts as saved, read once into a value the readings compose
// from: the five reading-text tables and the star-pair file. A composition
// only looks things up in it; nothing it does moves a record, holds a window
// still or writes. A save in an editor publishes a new value (ReadingTables),
// so what is typed but not saved never reaches a reading.
#pragma once

#include "readings/table_schema.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace zelvara {

class MessageSink;

// One table's saved records. A table that could not be opened is held as not
// loaded, and every lookup in it reports that.
class TextTable {
public:
    explicit TextTable(TableId id = TableId::Kyu12) : schema_(&SchemaOf(id)) {}
    // A loaded table: the layout's fields the file has, and the records' values
    // by those fields, in table order.
    TextTable(TableId id, QStringList columns, QList<QStringList> records);

    bool IsLoaded() const { return loaded_; }
    // True when loaded; otherwise reports that the table is not open.
    bool CheckLoaded(MessageSink& sink) const;
    const QString& FileName() const { return schema_->fileName; }
    int RecordCount() const { return int(records_.size()); }

    // The value of a field of record row (the record the table opens on is 0;
    // in an empty table the value is empty). nullopt, reported, when the table
    // is not loaded or has no such field.
    std::optional<QString> Field(int row, const QString& name, MessageSink& sink) const;
    // The records whose 宮名称 is the palace name, in table order. nullopt,
    // reported, when the table is not loaded, or has records but no 宮名称.
    std::optional<QList<int>> RecordsOf(const QString& palaceName, MessageSink& sink) const;

private:
    const TableSchema* schema_;
    bool loaded_ = false;
    QStringList columns_;
    QList<QStringList> records_;
    QHash<QString, QList<int>> byPalace_;
};

// The star-pair file's lines as read, or why it could not be read.
class StarPairTexts {
public:
    // Reads the whole file (Shift-JIS) at path.
    static StarPairTexts Read(const QString& path);

    // One block of text lines for every key line equal to key, in file order:
    // a block is the lines after its key line up to the next line that begins
    // with "#" (passed over without being compared), an empty line or the end
    // of the file. nullopt, reported naming the file, when it could not be read.
    std::optional<QList<QStringList>> Lookup(const QString& key, MessageSink& sink) const;

private:
    QStringList lines_;
    QString fault_ =
        QStringLiteral("星の組合せのファイル「hosi2dat.txt」はまだ読み込まれていません。");  // empty when read
};

class ReadingTexts {
public:
    ReadingTexts();  // nothing loaded

    const TextTable& Table(TableId id) const { return tables_[int(id)]; }
    const TextTable& kyu12() const { return Table(TableId::Kyu12); }
    const TextTable& kantei() const { return Table(TableId::Kantei); }
    const TextTable& hosiImi() const { return Table(TableId::HosiImi); }
    const TextTable& ai01() const { return Table(TableId::Ai01); }
    const TextTable& ai02() const { return Table(TableId::Ai02); }
    const StarPairTexts& StarPairs() const { return starPairs_; }

    // The same texts with one table or the star-pair file replaced.
    ReadingTexts With(TableId id, TextTable table) const;
    ReadingTexts With(StarPairTexts pairs) const;

private:
    std::array<TextTable, kReadingTableCount> tables_;
    StarPairTexts starPairs_;
};

// The texts of a program folder, for a run that edits nothing (the command
// line): missing tables and a missing star-pair file are first made from
// their seeds. What cannot be made or read is reported and left not loaded,
// and a reading that needs it reports it again.
ReadingTexts LoadReadingTexts(const QString& folder, const QStringList& seedFolders, MessageSink& sink);

}  // namespace zelvara
