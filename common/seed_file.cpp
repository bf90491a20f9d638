#include "common/seed_file.h"

#include "common/cp932.h"

#include <QFile>
#include <QFileInfo>

namespace zelvara {
namespace {

const QString kRecordLine = QStringLiteral("[記録]");
const QString kBlockOpen = QStringLiteral("<<");
const QString kBlockClose = QStringLiteral(">>");

QString TrimBlanks(const QString& s) {
    qsizetype from = 0, to = s.size();
    while (from < to && (s[from] == QLatin1Char(' ') || s[from] == QLatin1Char('\t'))) ++from;
    while (to > from && (s[to - 1] == QLatin1Char(' ') || s[to - 1] == QLatin1Char('\t'))) --to;
    return s.mid(from, to - from);
}

}  // namespace

SeedParse ParseSeed(const QString& text, const QList<FieldDef>& fields, const QString& tableName,
                    const QString& sourceName, int maxRecords) {
    SeedParse out;
    QString all = text;
    if (all.startsWith(QChar(0xFEFF))) all.remove(0, 1);
    // Whatever editor saved it: CR LF, LF or a lone CR ends a line.
    all.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    all.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = all.split(QLatin1Char('\n'));

    auto fail = [&](int lineNo, const QString& why) {
        out.error = QStringLiteral("%1 の %2 行目: %3").arg(sourceName).arg(lineNo).arg(why);
        return out;
    };

    SeedRecord* record = nullptr;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i];
        const QString trimmed = TrimBlanks(line);
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#'))) continue;
        if (trimmed == kRecordLine) {
            if (maxRecords > 0 && out.records.size() >= maxRecords)
                return fail(i + 1, QStringLiteral("表 %1 の記録は %2 件までです。").arg(tableName).arg(maxRecords));
            out.records.append(SeedRecord());
            record = &out.records.last();
            continue;
        }
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0) return fail(i + 1, QStringLiteral("「項目名: 値」の形でも [記録] でもありません。"));
        const QString name = TrimBlanks(line.left(colon));
        const int index = IndexOfField(fields, name);
        if (index < 0) return fail(i + 1, QStringLiteral("表 %1 に項目「%2」はありません。").arg(tableName, name));
        if (!record) return fail(i + 1, QStringLiteral("最初の [記録] の前に項目があります。"));
        if (record->values.contains(name))
            return fail(i + 1, QStringLiteral("項目「%1」がこの記録に二度あります。").arg(name));

        QString value = TrimBlanks(line.mid(colon + 1));
        const int startLine = i + 1;
        if (value == kBlockOpen) {
            QStringList block;
            bool closed = false;
            while (++i < lines.size()) {
                if (lines[i] == kBlockClose) {
                    closed = true;
                    break;
                }
                block << lines[i];
            }
            if (!closed)
                return fail(startLine, QStringLiteral("項目「%1」の文章を閉じる「>>」の行がありません。").arg(name));
            value = block.join(QLatin1Char('\n'));
        }
        if (const QString why = CheckFieldValue(fields[index], value); !why.isEmpty()) return fail(startLine, why);
        record->values.insert(name, cp932::RemapInputMethodChars(value));
    }
    return out;
}

SeedParse ReadSeedFile(const QString& path, const QList<FieldDef>& fields, const QString& tableName, int maxRecords) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SeedParse out;
        out.error = QStringLiteral("種ファイル「%1」を読めません（%2）。").arg(path, file.errorString());
        return out;
    }
    return ParseSeed(QString::fromUtf8(file.readAll()), fields, tableName, QFileInfo(path).fileName(), maxRecords);
}

}  // namespace zelvara
