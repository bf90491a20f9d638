// paradox_corpus_writer FOLDER: the fuzz corpus of the Paradox reader
// (tests/fuzz/corpus/paradox_table): sound tables written with pxlib's
// writer and each damage of paradox_damage.h done to a small one. A table
// with memo fields is followed by its memo file in the same corpus file, as
// the fuzz target reads it. Run again when a damage is added.
#include "tests/register/paradox_damage.h"
#include "tests/register/paradox_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <iostream>

namespace {

using paradox_fixture::Field;

// No (short), 名前 (alpha 20): records of 22 bytes in 2 KB blocks.
const QList<Field> kSmall{{QStringLiteral("No"), pxfShort, 2}, {QStringLiteral("名前"), pxfAlpha, 20}};
const QList<Field> kMemo{{QStringLiteral("No"), pxfShort, 2}, {QStringLiteral("説明"), pxfMemoBLOb, 20}};

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The table (and its memo file, when there is one) as one corpus input.
QByteArray Input(const QString& table) {
    const QString memo = QFileInfo(table).dir().filePath(QFileInfo(table).completeBaseName() + QStringLiteral(".MB"));
    return ReadAll(table) + ReadAll(memo);
}

bool Save(const QString& folder, const QString& name, const QByteArray& bytes) {
    QFile f(QDir(folder).filePath(name));
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: paradox_corpus_writer FOLDER\n";
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir work;
    const auto write = [&](const QString& name, const QList<Field>& fields, const QList<QStringList>& records) {
        const QString path = work.filePath(name + QStringLiteral(".DB"));
        const QString error = paradox_fixture::Write(path, fields, records);
        if (!error.isEmpty()) std::cerr << error.toStdString() << '\n';
        return path;
    };
    const QString longText = QStringLiteral("紫微星は北斗の主星。").repeated(12);
    bool ok = QDir().mkpath(folder);
    const QString small =
        write("small", kSmall, {{"1", QStringLiteral("命宮")}, {"2", QStringLiteral("兄弟宮")}, {"3", "c"}});
    const QString memo = write("memo", kMemo, {{"1", longText}, {"2", QStringLiteral("短い")}});
    ok = ok && Save(folder, "good-small", Input(small));
    ok = ok && Save(folder, "good-memo", Input(memo));
    ok = ok && Save(folder, "good-empty", Input(write("empty", kSmall, {})));
    ok =
        ok && Save(folder, "good-register",
                   Input(write("register", paradox_fixture::RegisterFields(),
                               {{QStringLiteral("見本太郎"), "1959", "5", "7", "05:00-07:00", QStringLiteral("男")}})));
    for (const paradox_damage::Damage& d : paradox_damage::Damages()) {
        const QString copy = work.filePath(QStringLiteral("damaged.DB"));
        QFile::remove(copy);
        ok = ok && QFile::copy(small, copy) && paradox_damage::Apply(copy, d) &&
             Save(folder, QLatin1String(d.name), ReadAll(copy));
    }
    // The memo reference of the first record (its field starts 2 bytes into
    // the record, 6 into the block): a length past the memo file, an offset
    // past it, and a memo file cut short.
    const QByteArray table = ReadAll(memo);
    const int reference = (quint8(table[2]) | quint8(table[3]) << 8) + 6 + 2 + 10;
    QByteArray longMemo = Input(memo), farMemo = Input(memo);
    longMemo.replace(reference + 4, 4, paradox_damage::Le(0x7FFFFFFF, 4));
    farMemo.replace(reference, 4, paradox_damage::Le(0x7FFFFF00, 4));
    ok = ok && Save(folder, "memo-length-huge", longMemo) && Save(folder, "memo-offset-far", farMemo);
    ok = ok && Save(folder, "memo-file-cut", Input(memo).chopped(3000));
    if (!ok) {
        std::cerr << "cannot write the corpus into " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
