#include "readings/table_file.h"

#include "common/seed_file.h"
#include "common/shipped_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace zelvara {
namespace {

QString CreateFromSeed(const TableSchema& schema, const QString& path, const QStringList& seedFolders) {
    QString seedPath;
    for (const QString& folder : seedFolders) {
        const QString candidate = QDir(folder).filePath(schema.seedName);
        if (QFileInfo::exists(candidate)) {
            seedPath = candidate;
            break;
        }
    }
    if (seedPath.isEmpty())
        return QStringLiteral(
                   "鑑定文の表「%1」がありません。元になる種ファイル「%2」も見つかりません（探した場所: %3）。")
            .arg(path, schema.seedName, seedFolders.join(QStringLiteral(", ")));
    const SeedParse seed = ReadSeedFile(seedPath, schema.fields, schema.fileName);
    if (!seed.error.isEmpty())
        return QStringLiteral("鑑定文の表「%1」を種ファイルから作れません。\n%2").arg(path, seed.error);
    SingleTableStore store(schema.Layout(), QStringLiteral("reading-seed-") + schema.tableName);
    if (const QString why = store.CreateFile(path, seed.records); !why.isEmpty())
        return QStringLiteral("鑑定文の表「%1」を種ファイル「%2」から作れません。\n%3").arg(path, seedPath, why);
    return {};
}

}  // namespace

QString PrepareTableFile(const TableSchema& schema, const QString& path, const QStringList& seedFolders) {
    const QFileInfo info(path);
    if (!info.exists() || info.size() == 0) return CreateFromSeed(schema, path, seedFolders);
    if (!info.isReadable())
        return QStringLiteral("鑑定文の表「%1」を読むことができません。\nファイルの権限を確かめてください。").arg(path);
    return {};
}

QString OpenTableFile(SingleTableStore& store, const QString& path, bool readOnly) {
    if (const QString why = store.Open(path, readOnly); !why.isEmpty())
        return QStringLiteral("鑑定文の表「%1」を開けません。\n%2").arg(path, why);
    return {};
}

QString ReadTableRecords(const TableSchema& schema, const SingleTableStore& store, QStringList& columns,
                         QList<SingleTableStore::Row>& rows) {
    QString why = store.CheckSchema(SingleTableStore::SchemaRule::AnyDeclared, &columns);
    std::optional<QList<SingleTableStore::Row>> read;
    if (why.isEmpty()) {
        const QString order = schema.keyedByNo && columns.contains(QLatin1String("No")) ? QStringLiteral("\"No\"")
                                                                                        : QStringLiteral("rowid");
        read = store.Select(columns, order, &why);
    }
    if (!read)
        return QStringLiteral("「%1」は鑑定文の表として読めません。\n（%2）\nファイルはそのまま残してあります。")
            .arg(store.Path(), why);
    rows = std::move(*read);
    return {};
}

QStringList SeedFolders(const QString& programFolder) {
    QStringList folders{QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral("seed")))};
    if (QCoreApplication::instance()) {
        // The seeds shipped with this program: beside it, or installed in share/zelvara.
        const std::string shipped = ShippedFolderOf(QCoreApplication::applicationDirPath().toStdString());
        const QString beside = QDir::cleanPath(QDir(QString::fromStdString(shipped)).filePath(QStringLiteral("seed")));
        if (!folders.contains(beside)) folders << beside;
    }
    return folders;
}

}  // namespace zelvara
