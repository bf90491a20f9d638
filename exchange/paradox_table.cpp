#include "exchange/paradox_table.h"

#include "common/cp932.h"
#include "exchange/isolated_run.h"
#include "exchange/paradox_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

extern "C" {
#include <paradox.h>
}

namespace zelvara {
namespace {

ParadoxType TypeOf(int code) {
    switch (code) {
        case pxfAlpha: return ParadoxType::Alpha;
        case pxfShort: return ParadoxType::Short;
        case pxfMemoBLOb: return ParadoxType::Memo;
        default: return ParadoxType::Other;
    }
}

// The memo file beside the table: the same name with .MB in any letter case.
QString MemoFileOf(const QFileInfo& table) {
    const QString wanted = table.completeBaseName() + QStringLiteral(".mb");
    for (const QString& name : table.dir().entryList(QDir::Files))
        if (name.compare(wanted, Qt::CaseInsensitive) == 0) return table.dir().filePath(name);
    return table.dir().filePath(table.completeBaseName() + QStringLiteral(".MB"));
}

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
QString FromCp932(const std::string& bytes) { return cp932::Decode(QByteArray(bytes.data(), qsizetype(bytes.size()))); }

// The raw table as texts, its messages naming path.
ParadoxContent Decoded(const paradox::RawTable& raw, const QString& path) {
    ParadoxContent content;
    if (!raw.problem.empty()) {
        content.error = QStringLiteral("「%1」%2").arg(path, FromUtf8(raw.problem));
        return content;
    }
    for (const paradox::RawField& f : raw.fields)
        content.fields << ParadoxField{FromCp932(f.name), TypeOf(f.type), f.size};
    content.records.reserve(raw.records.size());
    for (size_t n = 0; n < raw.records.size(); ++n) {
        const paradox::RawRecord& r = raw.records[n];
        ParadoxRecord record;
        if (!r.problem.empty() && r.field >= 0 && r.field < content.fields.size())
            record.error = QStringLiteral("「%1」の %2 件目の記録の項目「%3」のメモを読めません（%4）。")
                               .arg(path)
                               .arg(n + 1)
                               .arg(content.fields[r.field].name, FromUtf8(r.problem));
        else if (!r.problem.empty())
            record.error = QStringLiteral("「%1」の %2 件目の記録を読めません（%3）。")
                               .arg(path)
                               .arg(n + 1)
                               .arg(FromUtf8(r.problem));
        else
            for (const std::string& value : r.values) record.values << FromCp932(value);
        content.records.push_back(std::move(record));
    }
    return content;
}

// Refuses what is not a regular file before anything opens it (a FIFO or a
// device would block or never end).
QString NotARegularFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("「%1」がありません。").arg(path);
    if (!info.isFile()) return QStringLiteral("「%1」は普通のファイルではありません。").arg(path);
    return {};
}

}  // namespace

ParadoxContent ReadParadoxTable(const QString& path) {
    if (const QString error = NotARegularFile(path); !error.isEmpty()) return ParadoxContent{error, {}, {}};
    const std::string db = QFile::encodeName(path).toStdString();
    const std::string memo = QFile::encodeName(MemoFileOf(QFileInfo(path))).toStdString();
    const IsolatedResult run = RunIsolated([&] { return paradox::Encode(paradox::ReadTable(db, memo)); });
    paradox::RawTable raw;
    if (!run.ok)
        return ParadoxContent{
            QStringLiteral("「%1」を読めません。%2。表が壊れているかもしれません。").arg(path, run.failure), {}, {}};
    if (!paradox::Decode(run.output, &raw))
        return ParadoxContent{
            QStringLiteral("「%1」を読めません。読み込みの処理から届いた内容が壊れています。").arg(path), {}, {}};
    return Decoded(raw, path);
}

ParadoxContent ReadParadoxTableHere(const QString& path) {
    if (const QString error = NotARegularFile(path); !error.isEmpty()) return ParadoxContent{error, {}, {}};
    return Decoded(paradox::ReadTable(QFile::encodeName(path).toStdString(),
                                      QFile::encodeName(MemoFileOf(QFileInfo(path))).toStdString()),
                   path);
}

QString ParadoxTypeName(ParadoxType type) {
    switch (type) {
        case ParadoxType::Alpha: return QStringLiteral("A（文字）");
        case ParadoxType::Short: return QStringLiteral("S（短整数）");
        case ParadoxType::Memo: return QStringLiteral("M（メモ）");
        case ParadoxType::Other: break;
    }
    return QStringLiteral("その他");
}

QString MatchFields(const QList<ParadoxField>& fields, const QString& fileName, const QList<WantedField>& wanted,
                    QList<int>* columns) {
    columns->clear();
    for (const WantedField& w : wanted) {
        int found = -1;
        for (int i = 0; i < fields.size() && found < 0; ++i)
            if (fields[i].name == w.name) found = i;
        if (found < 0) return QStringLiteral("「%1」には項目「%2」がありません。").arg(fileName, w.name);
        if (fields[found].type != w.type)
            return QStringLiteral("「%1」の項目「%2」の型が %3 です（%4 のはずです）。")
                .arg(fileName, w.name, ParadoxTypeName(fields[found].type), ParadoxTypeName(w.type));
        *columns << found;
    }
    for (const ParadoxField& f : fields) {
        bool known = false;
        for (const WantedField& w : wanted) known = known || w.name == f.name;
        if (!known) return QStringLiteral("「%1」には読み込み先にない項目「%2」があります。").arg(fileName, f.name);
    }
    return {};
}

}  // namespace zelvara
