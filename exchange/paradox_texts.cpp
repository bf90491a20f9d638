#include "exchange/paradox_texts.h"

#include "exchange/paradox_table.h"
#include "register/sqlite_copy.h"
#include "store/legends_table.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <unistd.h>
#include <climits>

namespace zelvara {
namespace {

constexpr int kProblemsShown = 20;

ParadoxType ParadoxTypeOf(FieldType type) {
    switch (type) {
        case FieldType::SmallInt: return ParadoxType::Short;
        case FieldType::String: return ParadoxType::Alpha;
        case FieldType::Memo: break;
    }
    return ParadoxType::Memo;
}

TextTableLayout ReadingLayout(const TableSchema& schema) { return TextTableLayout{schema.fileName, schema.Layout()}; }

// The legends table holds one record of fourteen memos named after the
// major stars; its table has the file's base name, as every table file does.
TextTableLayout LegendsLayout() {
    const QString file = QString::fromLatin1(LegendsTable::kFileName);
    return TextTableLayout{
        file, TableLayout{QFileInfo(file).completeBaseName(), LegendFields(), TableLayout::Columns::NotNullText, {}}};
}

// The file of that name in the folder, in any letter case; empty when none.
QString FindFile(const QString& folder, const QString& name) {
    for (const QString& entry : QDir(folder).entryList(QDir::Files))
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return QDir(folder).filePath(entry);
    return {};
}

// Reads one table and checks every record; problems are added to *problems.
TextTableRecords ReadTable(int index, const QString& path, QStringList* problems) {
    const TextTableLayout& layout = TextTableLayouts().at(index);
    TextTableRecords result{index, path, {}};
    const ParadoxContent table = ReadParadoxTable(path);
    if (!table.error.isEmpty()) {
        *problems << table.error;
        return result;
    }
    QList<WantedField> wanted;
    for (const FieldDef& f : layout.table.fields) wanted << WantedField{f.name, ParadoxTypeOf(f.type)};
    QList<int> columns;
    if (const QString error = MatchFields(table.fields, path, wanted, &columns); !error.isEmpty()) {
        *problems << error + QStringLiteral("\n表 %1 として読めません。").arg(layout.table.tableName);
        return result;
    }
    if (table.records.empty()) *problems << QStringLiteral("「%1」には記録がありません。").arg(path);
    QSet<QString> numbers;
    for (size_t n = 0; n < table.records.size(); ++n) {
        if (!table.records[n].error.isEmpty()) {
            *problems << table.records[n].error;
            continue;
        }
        const QStringList& raw = table.records[n].values;
        QStringList values;
        for (int i = 0; i < layout.table.fields.size(); ++i) {
            const FieldDef& field = layout.table.fields.at(i);
            values << raw.at(columns[i]);
            if (const QString problem = CheckFieldValue(field, values.last()); !problem.isEmpty())
                *problems << QStringLiteral("「%1」の %2 件目: %3").arg(path).arg(n + 1).arg(problem.simplified());
        }
        if (const int key = layout.table.IndexOf(layout.table.primaryKey); key >= 0) {
            const QString no = values.at(key);
            if (no.isEmpty())
                *problems << QStringLiteral("「%1」の %2 件目: 番号（No）がありません。").arg(path).arg(n + 1);
            else if (numbers.contains(no))
                *problems
                    << QStringLiteral("「%1」の %2 件目: 番号（No）%3 が重なっています。").arg(path).arg(n + 1).arg(no);
            numbers.insert(no);
        }
        result.records.push_back(values);
    }
    return result;
}

// Writes the records into the file at temp: a copy of the user's table when
// there is one (its layout kept), else a new table. Empty on success.
QString BuildReplacement(const TextTableRecords& table, const QString& userPath, const QString& temp) {
    const TextTableLayout& layout = TextTableLayouts().at(table.layout);
    QFile::remove(temp);
    const bool copied = QFileInfo(userPath).isFile();
    if (copied)
        if (const QString error = CopySqliteFile(userPath, temp); !error.isEmpty()) return error;
    SingleTableStore store(layout.table, QStringLiteral("texts-import"));
    if (const QString error = store.Open(temp); !error.isEmpty()) return error;
    QString why = copied ? store.RemoveAll() : store.CreateTable();
    if (why.isEmpty()) {
        QStringList columns;
        for (const FieldDef& f : layout.table.fields) columns << f.name;
        const StoreWrite written =
            store.InsertRows(columns, QList<QStringList>(table.records.begin(), table.records.end()));
        if (!written.ok) why = written.Why();
    }
    if (why.isEmpty()) return {};
    return QStringLiteral("「%1」の表 %2 に書けません（%3）。").arg(userPath, layout.table.tableName, why);
}

// backup/<name>-YYYYMMDD-HHmmss.<ext> ("-2", "-3" … when taken).
QString BackupPathFor(const QString& userPath) {
    const QFileInfo info(userPath);
    const QDir folder(info.dir().filePath(QStringLiteral("backup")));
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = folder.filePath(QStringLiteral("%1-%2.%3").arg(info.completeBaseName(), stamp, info.suffix()));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(
            QStringLiteral("%1-%2-%3.%4").arg(info.completeBaseName(), stamp).arg(n).arg(info.suffix()));
    return path;
}

}  // namespace

const QList<TextTableLayout>& TextTableLayouts() {
    static const QList<TextTableLayout> layouts = [] {
        QList<TextTableLayout> list;
        for (TableId id : AllReadingTables()) list << ReadingLayout(SchemaOf(id));
        list << LegendsLayout();
        return list;
    }();
    return layouts;
}

TextsImport ReadTextsParadox(const QString& folder) {
    TextsImport import;
    if (!QFileInfo(folder).isDir()) {
        import.error = QStringLiteral("フォルダー「%1」がありません。").arg(folder);
        return import;
    }
    QStringList problems;
    for (int i = 0; i < TextTableLayouts().size(); ++i) {
        const QString path = FindFile(folder, TextTableLayouts().at(i).fileName);
        if (path.isEmpty())
            import.notFound << TextTableLayouts().at(i).fileName;
        else
            import.tables.push_back(ReadTable(i, path, &problems));
    }
    if (import.tables.empty()) {
        QStringList names;
        for (const TextTableLayout& l : TextTableLayouts()) names << l.fileName;
        import.error = QStringLiteral("フォルダー「%1」には読み込める表（%2）がありません。")
                           .arg(folder, names.join(QStringLiteral("、")));
    } else if (!problems.isEmpty()) {
        const qsizetype count = problems.size();
        if (count > kProblemsShown) {
            problems = problems.mid(0, kProblemsShown);
            problems << QStringLiteral("ほか %1 件").arg(count - kProblemsShown);
        }
        import.error = problems.join(QLatin1Char('\n')) +
                       QStringLiteral("\n受け付けられない記録や表があるため、鑑定文と星の説明は何も変えていません。");
    }
    return import;
}

QString DescribeTextsImport(const TextsImport& import, const QString& userFolder) {
    QStringList lines;
    for (const TextTableRecords& t : import.tables) {
        const QString target = QDir(userFolder).filePath(TextTableLayouts().at(t.layout).fileName);
        lines << QStringLiteral("「%1」の記録をすべて「%2」の %3 件に置き換えます。")
                     .arg(target, t.source)
                     .arg(t.records.size());
    }
    for (const QString& name : import.notFound)
        lines << QStringLiteral("%1 は取り込み元にないため、そのままです。").arg(name);
    return lines.join(QLatin1Char('\n'));
}

TextsReplaced ReplaceTexts(const TextsImport& import, const QString& userFolder) {
    TextsReplaced result;
    if (!import.error.isEmpty() || import.tables.empty()) {
        result.error = import.error.isEmpty() ? QStringLiteral("取り込む表がありません。") : import.error;
        return result;
    }
    struct Step {
        QString user, temp, backup;
    };
    std::vector<Step> steps;
    const auto cleanUp = [&] {
        for (const Step& s : steps) QFile::remove(s.temp);
    };
    // Everything is prepared beside the tables first; nothing is replaced
    // while any replacement or backup could not be made.
    for (const TextTableRecords& t : import.tables) {
        Step step;
        step.user = QDir(userFolder).filePath(TextTableLayouts().at(t.layout).fileName);
        step.temp = QStringLiteral("%1.import-%2").arg(step.user).arg(::getpid());
        steps.push_back(step);
        if (const QString error = BuildReplacement(t, step.user, step.temp); !error.isEmpty()) {
            cleanUp();
            result.error = error + QStringLiteral("\n鑑定文と星の説明は何も変えていません。");
            return result;
        }
    }
    const QString backupFolder = QDir(userFolder).filePath(QStringLiteral("backup"));
    for (Step& s : steps) {
        if (!QFileInfo(s.user).isFile()) continue;
        s.backup = BackupPathFor(s.user);
        QString error = QDir().mkpath(backupFolder)
                            ? CopySqliteFile(s.user, s.backup)
                            : QStringLiteral("フォルダー「%1」を作れません。").arg(backupFolder);
        if (!error.isEmpty()) {
            cleanUp();
            result.error = QStringLiteral("今の表のバックアップを作れないため、取り込みをやめました。\n%1").arg(error);
            return result;
        }
        result.backups << s.backup;
    }
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        QString error =
            s.backup.isEmpty()
                ? (QFile::rename(s.temp, s.user) ? QString() : QStringLiteral("「%1」を書き込めません。").arg(s.user))
                : ReplaceSqliteContent(s.temp, s.user);
        if (error.isEmpty()) continue;
        // Puts back the tables already replaced, from the copies just made.
        for (size_t j = 0; j < i; ++j) {
            if (steps[j].backup.isEmpty())
                QFile::remove(steps[j].user);
            else if (const QString undo = ReplaceSqliteContent(steps[j].backup, steps[j].user); !undo.isEmpty())
                error += QStringLiteral("\n「%1」を元に戻せません。バックアップ「%2」から戻して下さい。")
                             .arg(steps[j].user, steps[j].backup);
        }
        cleanUp();
        result.error = error + QStringLiteral("\n取り込みをやめました。");
        return result;
    }
    cleanUp();
    return result;
}

}  // namespace zelvara
