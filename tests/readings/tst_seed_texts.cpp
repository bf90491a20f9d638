// The shipped reading texts (data/seed): every field that some reading reads
// is filled, grades are 甲 乙 丙 丁, and no text or text line is repeated
// verbatim across stars or palaces. Every star-pair key that the overall
// reading can look up has a block, and no block is one it never looks up.
#include "common/cp932.h"
#include "common/seed_file.h"
#include "readings/reading_names.h"
#include "readings/table_schema.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QTest>

using namespace zelvara;

namespace {

const QString kSeedDir = QStringLiteral(ZELVARA_SEED_DIR);

QStringList TwentyLongNames() {
    return {"紫薇星", "天機星", "太陽星", "武曲星", "天同星", "廉貞星", "天府星", "太陰星", "貪狼星", "巨門星",
            "天相星", "天梁星", "七殺星", "破軍星", "炎星",   "鈴星",   "文曲星", "文昌星", "羊刃星", "陀羅星"};
}

QStringList TwentyShortNames() {
    return {"紫薇", "天機", "太陽", "武曲", "天同", "廉貞", "天府", "太陰", "貪狼", "巨門",
            "天相", "天梁", "七殺", "破軍", "炎星", "鈴星", "文曲", "文昌", "羊刃", "陀羅"};
}

QStringList AdditionalLongNames() {
    return {"天存星", "天魁星", "天鉞星", "左輔星", "右弼星", "駅馬星", "天空星",
            "地劫星", "天耗星", "紅鸞星", "天喜星", "天姚星", "天刑星"};
}

SeedParse Read(TableId id) {
    const TableSchema& schema = SchemaOf(id);
    return ReadSeedFile(QDir(kSeedDir).filePath(schema.seedName), schema.fields, schema.fileName);
}

QStringList Lines(const QString& text) {
    QStringList out;
    for (const QString& l : text.split(QLatin1Char('\n'))) {
        const QString t = l.trimmed();
        if (!t.isEmpty()) out << t;
    }
    return out;
}

// Collects where each text and each text line stands; reports every one found
// in more than one place.
class DuplicateCheck {
public:
    void Add(const QString& where, const QString& text) {
        const QString whole = text.trimmed();
        if (whole.isEmpty()) return;
        texts_[whole] << where;
        for (const QString& l : Lines(text)) lines_[l] << where;
    }
    QStringList Duplicates() const {
        QStringList out;
        for (auto it = texts_.cbegin(); it != texts_.cend(); ++it)
            if (it.value().size() > 1) out << QStringLiteral("text in ") + it.value().join(", ");
        for (auto it = lines_.cbegin(); it != lines_.cend(); ++it)
            if (it.value().size() > 1) out << QStringLiteral("line 「%1」 in %2").arg(it.key(), it.value().join(", "));
        return out;
    }

private:
    QHash<QString, QStringList> texts_, lines_;
};

QString Fails(const QStringList& list) { return list.join(QLatin1Char('\n')); }

// A reading text says something: at least two sentences ending in 。 and at
// least kMinChars characters. Empty when it does; else why not.
constexpr int kMinChars = 45;
QString ThinText(const QString& text) {
    const QString t = text.trimmed();
    const int sentences = int(t.count(QStringLiteral("。")));
    if (sentences < 2 || !t.endsWith(QStringLiteral("。")) || t.size() < kMinChars)
        return QStringLiteral("%1 sentences, %2 characters: %3").arg(sentences).arg(t.size()).arg(t);
    return {};
}

}  // namespace

class TestSeedTexts : public QObject {
    Q_OBJECT
private slots:
    void kyu12() {
        const SeedParse p = Read(TableId::Kyu12);
        QVERIFY2(p.error.isEmpty(), qPrintable(p.error));
        QCOMPARE(p.records.size(), 12);
        const QSet<QString> grades{"甲", "乙", "丙", "丁"};
        QStringList fails;
        DuplicateCheck dup;
        for (int i = 0; i < 12; ++i) {
            const auto& v = p.records[i].values;
            const QString palace = PalaceName(i + 1);
            if (v.value("宮名称") != palace) fails << QStringLiteral("record %1 is not %2").arg(i + 1).arg(palace);
            if (v.value("No") != QString::number(i + 1)) fails << palace + QStringLiteral(": No");
            for (const char* f : {"内容", "星相性"}) {
                if (v.value(f).trimmed().isEmpty()) fails << palace + QStringLiteral(": empty ") + f;
                dup.Add(palace + QLatin1Char(' ') + f, v.value(f));
            }
            for (const QString& star : TwentyLongNames())
                if (!grades.contains(v.value(star)))
                    fails << QStringLiteral("%1 %2: grade 「%3」").arg(palace, star, v.value(star));
        }
        fails << dup.Duplicates();
        QVERIFY2(fails.isEmpty(), qPrintable(Fails(fails)));
    }

    void kantei() {
        const SeedParse p = Read(TableId::Kantei);
        QVERIFY2(p.error.isEmpty(), qPrintable(p.error));
        QStringList fails;
        QSet<QString> palaces;
        DuplicateCheck dup;
        for (const SeedRecord& r : p.records) {
            const QString palace = r.values.value("宮名称");
            palaces << palace;
            // Read by the overall reading: 星1 and 星2 of the twenty stars,
            // 星1 of the additional stars except 駅馬.
            QStringList fields;
            for (const QString& s : TwentyShortNames()) fields << s + "星1" << s + "星2";
            for (const QString& a : AdditionalLongNames())
                if (a != QStringLiteral("駅馬星")) fields << a + "1";
            for (const QString& f : fields) {
                if (r.values.value(f).trimmed().isEmpty())
                    fails << palace + QStringLiteral(": empty ") + f;
                else if (const QString why = ThinText(r.values.value(f)); !why.isEmpty())
                    fails << QStringLiteral("%1 %2: %3").arg(palace, f, why);
                dup.Add(palace + QLatin1Char(' ') + f, r.values.value(f));
            }
        }
        for (const QString& palace : PalaceNames())
            if (!palaces.contains(palace)) fails << QStringLiteral("no record for ") + palace;
        // Whole texts must differ; single lines may recur in another writer's
        // table only as whole-text duplicates are what a reader would notice.
        for (const QString& d : dup.Duplicates())
            if (d.startsWith(QStringLiteral("text"))) fails << d;
        QVERIFY2(fails.isEmpty(), qPrintable(Fails(fails)));
    }

    void luckAndPartnerTexts() {
        QStringList fails;
        DuplicateCheck partner;
        for (TableId id : {TableId::HosiImi, TableId::Ai01, TableId::Ai02}) {
            const SeedParse p = Read(id);
            const QString table = SchemaOf(id).fileName;
            QVERIFY2(p.error.isEmpty(), qPrintable(p.error));
            QVERIFY2(!p.records.isEmpty(), qPrintable(table));
            const auto& v = p.records.first().values;
            // The luck reading reads every ruling name (the twenty stars and
            // the thirteen additional stars, 駅馬星 included); the partner
            // readings read the twenty stars.
            QStringList read = TwentyLongNames();
            if (id == TableId::HosiImi)
                read << AdditionalLongNames() << "化禄星"
                     << "化権星"
                     << "化科星"
                     << "化忌星";
            DuplicateCheck dup;
            for (const QString& f : read) {
                const QString text = v.value(f);
                if (text.trimmed().isEmpty())
                    fails << table + QStringLiteral(": empty ") + f;
                else if (const QString why = ThinText(text); !why.isEmpty())
                    fails << QStringLiteral("%1 %2: %3").arg(table, f, why);
                if (id == TableId::HosiImi)
                    dup.Add(table + QLatin1Char(' ') + f, text);
                else
                    partner.Add(table + QLatin1Char(' ') + f, text);
                const int n = Lines(text).size();
                if (!f.startsWith(QStringLiteral("化")) && (n < 3 || n > 6))
                    fails << QStringLiteral("%1 %2: %3 sentences").arg(table, f).arg(n);
            }
            fails << dup.Duplicates();
        }
        fails << partner.Duplicates();
        QVERIFY2(fails.isEmpty(), qPrintable(Fails(fails)));
    }

    // Every seed speaks to the reader as 貴方, as the fixed sentences of the
    // marriage reading do; and every text a table is made from is writable in
    // Shift-JIS and fits its field.
    void oneVoiceAndShiftJis() {
        QStringList fails;
        for (const QString& name : QDir(kSeedDir).entryList({QStringLiteral("*.txt")}, QDir::Files)) {
            QFile f(QDir(kSeedDir).filePath(name));
            QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(name));
            const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
            for (int i = 0; i < lines.size(); ++i)
                for (const char* other : {"あなた", "アナタ", "貴女", "貴男"})
                    if (lines[i].contains(QString::fromUtf8(other)))
                        fails << QStringLiteral("%1:%2: 「%3」 (write 貴方)")
                                     .arg(name)
                                     .arg(i + 1)
                                     .arg(QString::fromUtf8(other));
        }
        for (TableId id : AllReadingTables()) {
            const TableSchema& schema = SchemaOf(id);
            const SeedParse p = Read(id);
            if (!p.error.isEmpty()) fails << p.error;
            for (const SeedRecord& r : p.records)
                for (const FieldDef& field : schema.fields) {
                    const QString text = r.values.value(field.name);
                    QString bad;
                    const auto bytes = cp932::Encode(text, &bad);
                    if (!bytes)
                        fails << QStringLiteral("%1 %2: 「%3」 not Shift-JIS").arg(schema.fileName, field.name, bad);
                    else if (field.type == FieldType::String && bytes->size() > field.size)
                        fails << QStringLiteral("%1 %2: %3 bytes > %4")
                                     .arg(schema.fileName, field.name)
                                     .arg(bytes->size())
                                     .arg(field.size);
                }
        }
        QVERIFY2(fails.isEmpty(), qPrintable(Fails(fails)));
    }

    void legends() {
        QList<FieldDef> fields;
        QStringList names;
        for (int s = 0; s < 14; ++s) {
            names << TwentyLongNames()[s];
            fields << FieldDef{TwentyLongNames()[s], FieldType::Memo, 0};
        }
        const SeedParse p = ReadSeedFile(QDir(kSeedDir).filePath("helpbun.txt"), fields, "helpbun.DB");
        QVERIFY2(p.error.isEmpty(), qPrintable(p.error));
        QCOMPARE(p.records.size(), 1);
        QStringList fails;
        DuplicateCheck dup;
        for (const QString& f : names) {
            const QString text = p.records.first().values.value(f);
            const int n = Lines(text).size();
            if (n < 8) fails << QStringLiteral("helpbun %1: %2 lines").arg(f).arg(n);
            dup.Add(QStringLiteral("helpbun ") + f, text);
        }
        fails << dup.Duplicates();
        QVERIFY2(fails.isEmpty(), qPrintable(Fails(fails)));
    }

    void starPairs() {
        QFile file(QDir(kSeedDir).filePath("hosi2dat.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        QHash<QString, QStringList> blocks;
        QStringList fails;
        QString key;
        bool closed = false;
        for (QString l : lines) {
            if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
            if (l.startsWith(QLatin1Char('#'))) {
                if (l.size() > 1 && blocks.contains(l)) fails << QStringLiteral("key twice: ") + l;
                key = l.size() > 1 ? l : QString();
                closed = key.isEmpty();
                if (!key.isEmpty()) blocks[key];
                continue;
            }
            if (key.isEmpty()) continue;  // opening notes, or after the last block
            if (l.trimmed().isEmpty()) {
                fails << QStringLiteral("empty line in ") + key;
                key.clear();
                continue;
            }
            blocks[key] << l;
        }
        if (!closed) fails << QStringLiteral("the last block has no closing \"#\" line");
        DuplicateCheck dup;
        for (auto it = blocks.cbegin(); it != blocks.cend(); ++it) {
            // One to three sentences, a sentence a line, each writable in
            // Shift-JIS as the program writes the file.
            if (it.value().isEmpty() || it.value().size() > 3)
                fails << QStringLiteral("%1: %2 lines").arg(it.key()).arg(it.value().size());
            for (const QString& l : it.value()) {
                QString bad;
                if (!cp932::Encode(l, &bad)) fails << QStringLiteral("%1: 「%2」 not Shift-JIS").arg(it.key(), bad);
                if (!l.endsWith(QStringLiteral("。")) || l.size() < 15)
                    fails << QStringLiteral("%1: not a full sentence: %2").arg(it.key(), l);
            }
            dup.Add(it.key(), it.value().join(QLatin1Char('\n')));
        }
        fails << dup.Duplicates();

        // Every key the overall reading can look up (the survey of every
        // birth moment 1921..2100 kept in tools/starpairs/pair_keys.txt) has
        // a block, and every block is one of them.
        QFile list(QStringLiteral(ZELVARA_PAIR_KEYS));
        QVERIFY2(list.open(QIODevice::ReadOnly), ZELVARA_PAIR_KEYS);
        QSet<QString> keys;
        for (const QString& k : QString::fromUtf8(list.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            keys << k;
        QVERIFY(keys.size() > 400);
        for (const QString& k : keys)
            if (!blocks.contains(k)) fails << QStringLiteral("no block: ") + k;
        for (auto it = blocks.cbegin(); it != blocks.cend(); ++it)
            if (!keys.contains(it.key())) fails << QStringLiteral("a block no chart looks up: ") + it.key();
        QVERIFY2(fails.isEmpty(), qPrintable(Fails(fails)));
    }
};

QTEST_GUILESS_MAIN(TestSeedTexts)
#include "tst_seed_texts.moc"
