#include "readings/reading_texts.h"

#include "common/cp932.h"
#include "engine/context.h"
#include "readings/star_pairs.h"
#include "readings/table_file.h"

#include <QDir>
#include <QFile>

namespace zelvara {
namespace {

const QString kPalaceNameField = QStringLiteral("宮名称");

void Report(MessageSink& sink, const QString& text) { sink.Show(text.toStdString(), {}); }

// A line of the file without its line end.
QByteArray Chomp(QByteArray line) {
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    return line;
}

TextTable ReadTextTable(TableId id, const QString& folder, const QStringList& seedFolders, MessageSink& sink) {
    const TableSchema& schema = SchemaOf(id);
    const QString path = QDir(folder).filePath(schema.fileName);
    SingleTableStore store(schema.Layout(), QStringLiteral("reading-texts-") + schema.tableName);
    QStringList columns;
    QList<SingleTableStore::Row> rows;
    QString why = PrepareTableFile(schema, path, seedFolders);
    if (why.isEmpty()) why = OpenTableFile(store, path, true);
    if (why.isEmpty()) why = ReadTableRecords(schema, store, columns, rows);
    if (!why.isEmpty()) {
        Report(sink, why);
        return TextTable(id);
    }
    QList<QStringList> records;
    for (SingleTableStore::Row& r : rows) records << std::move(r.values);
    return TextTable(id, std::move(columns), std::move(records));
}

}  // namespace

TextTable::TextTable(TableId id, QStringList columns, QList<QStringList> records)
    : schema_(&SchemaOf(id)), loaded_(true), columns_(std::move(columns)), records_(std::move(records)) {
    if (const int palace = int(columns_.indexOf(kPalaceNameField)); palace >= 0)
        for (int r = 0; r < records_.size(); ++r) byPalace_[records_[r][palace]] << r;
}

bool TextTable::CheckLoaded(MessageSink& sink) const {
    if (!loaded_)
        Report(sink, QStringLiteral("鑑定文の表「%1」が開いていないため、鑑定文を読めません。").arg(FileName()));
    return loaded_;
}

std::optional<QString> TextTable::Field(int row, const QString& name, MessageSink& sink) const {
    if (!CheckLoaded(sink)) return std::nullopt;
    const int column = int(columns_.indexOf(name));
    if (column < 0) {
        Report(sink, QStringLiteral("鑑定文の表「%1」に項目「%2」がありません。").arg(FileName(), name));
        return std::nullopt;
    }
    return row >= 0 && row < records_.size() ? records_[row][column] : QString();
}

std::optional<QList<int>> TextTable::RecordsOf(const QString& palaceName, MessageSink& sink) const {
    if (!CheckLoaded(sink)) return std::nullopt;
    if (!records_.isEmpty() && !columns_.contains(kPalaceNameField)) {
        Report(sink, QStringLiteral("鑑定文の表「%1」に項目「%2」がありません。").arg(FileName(), kPalaceNameField));
        return std::nullopt;
    }
    return byPalace_.value(palaceName);
}

StarPairTexts StarPairTexts::Read(const QString& path) {
    StarPairTexts texts;
    texts.fault_.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        texts.fault_ = QStringLiteral("星の組合せのファイル「%1」を開けません（%2）。").arg(path, file.errorString());
        return texts;
    }
    while (!file.atEnd()) texts.lines_ << cp932::Decode(Chomp(file.readLine()));
    if (file.error() != QFileDevice::NoError) {
        texts.lines_.clear();
        texts.fault_ = QStringLiteral("星の組合せのファイル「%1」を読めません（%2）。").arg(path, file.errorString());
    }
    return texts;
}

std::optional<QList<QStringList>> StarPairTexts::Lookup(const QString& key, MessageSink& sink) const {
    if (!fault_.isEmpty()) {
        Report(sink, fault_);
        return std::nullopt;
    }
    QList<QStringList> blocks;
    for (qsizetype i = 0; i < lines_.size();) {
        if (lines_[i++] != key) continue;
        QStringList& text = blocks.emplace_back();
        while (i < lines_.size()) {
            const QString& line = lines_[i++];
            if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) break;
            text << line;
        }
    }
    return blocks;
}

ReadingTexts::ReadingTexts()
    : tables_{TextTable(TableId::Kyu12), TextTable(TableId::Kantei), TextTable(TableId::HosiImi),
              TextTable(TableId::Ai01), TextTable(TableId::Ai02)} {}

ReadingTexts ReadingTexts::With(TableId id, TextTable table) const {
    ReadingTexts texts = *this;
    texts.tables_[int(id)] = std::move(table);
    return texts;
}

ReadingTexts ReadingTexts::With(StarPairTexts pairs) const {
    ReadingTexts texts = *this;
    texts.starPairs_ = std::move(pairs);
    return texts;
}

ReadingTexts LoadReadingTexts(const QString& folder, const QStringList& seedFolders, MessageSink& sink) {
    ReadingTexts texts;
    for (TableId id : AllReadingTables()) texts = texts.With(id, ReadTextTable(id, folder, seedFolders, sink));
    StarPairFile pairs;
    pairs.Prepare(folder, seedFolders, sink);
    return texts.With(StarPairTexts::Read(pairs.FilePath()));
}

}  // namespace zelvara
