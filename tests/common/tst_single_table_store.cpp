// The single-table store every table file is kept in: the table it creates,
// the schema rules a file is checked against, the checks before a write, the
// write over a record as it was read, a table emptied for a rebuild, a file
// made from seed records, and the one-writer lock.
#include "common/single_table_store.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;

namespace {

TableLayout Layout(TableLayout::Columns columns = TableLayout::Columns::Typed) {
    return TableLayout{QStringLiteral("T"),
                       {{QStringLiteral("No"), FieldType::SmallInt, 0},
                        {QStringLiteral("名前"), FieldType::String, 4},
                        {QStringLiteral("内容"), FieldType::Memo, 0}},
                       columns,
                       QStringLiteral("No")};
}

const QStringList kColumns = {QStringLiteral("No"), QStringLiteral("名前"), QStringLiteral("内容")};

// Makes path with the given CREATE TABLE statement.
void MakeFile(const QString& path, const QString& create) {
    SingleTableStore raw(Layout(), QStringLiteral("raw"));
    QVERIFY(raw.Open(path).isEmpty());
    QVERIFY(QSqlQuery(raw.Database()).exec(create));
}

}  // namespace

class TestSingleTableStore : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString Path(const QString& name) const { return dir_.filePath(name); }

private slots:
    void columnsAsDeclared() {
        const TableLayout typed = Layout();
        QCOMPARE(typed.ColumnSql(typed.fields[0]),
                 QStringLiteral("\"No\" SMALLINT NOT NULL PRIMARY KEY CHECK (\"No\" BETWEEN -32768 AND 32767)"));
        QCOMPARE(typed.ColumnSql(typed.fields[1]), QStringLiteral("\"名前\" VARCHAR(4)"));
        QCOMPARE(typed.ColumnSql(typed.fields[2]), QStringLiteral("\"内容\" TEXT"));
        const TableLayout text = Layout(TableLayout::Columns::NotNullText);
        QCOMPARE(text.ColumnSql(text.fields[1]), QStringLiteral("\"名前\" TEXT NOT NULL DEFAULT ''"));
    }

    // Each rule against files whose table is the layout's, has other or
    // fewer fields, or is missing.
    void schemaRules_data() {
        QTest::addColumn<QString>("create");
        QTest::addColumn<int>("rule");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QStringList>("present");
        const QString same = QStringLiteral("CREATE TABLE T (No, 名前, 内容)");
        const QString extra = QStringLiteral("CREATE TABLE T (No, 名前, 内容, 別)");
        const QString fewer = QStringLiteral("CREATE TABLE T (No, 内容)");
        const QString other = QStringLiteral("CREATE TABLE U (No)");
        const int exact = int(SingleTableStore::SchemaRule::Exact);
        const int all = int(SingleTableStore::SchemaRule::AllDeclared);
        const int any = int(SingleTableStore::SchemaRule::AnyDeclared);
        QTest::newRow("exact, same") << same << exact << "" << kColumns;
        QTest::newRow("exact, extra") << extra << exact << "項目が違います: No,名前,内容,別" << kColumns;
        QTest::newRow("all, extra") << extra << all << "" << kColumns;
        QTest::newRow("all, fewer") << fewer << all << "項目「名前」がありません" << QStringList{"No", "内容"};
        QTest::newRow("any, fewer") << fewer << any << "" << QStringList{"No", "内容"};
        QTest::newRow("any, no table") << other << any << "表 T がありません" << QStringList();
    }
    void schemaRules() {
        QFETCH(QString, create);
        QFETCH(int, rule);
        QFETCH(QString, problem);
        QFETCH(QStringList, present);
        const QString path = Path(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".db"));
        MakeFile(path, create);
        SingleTableStore store(Layout(), QStringLiteral("t"));
        QVERIFY(store.Open(path, true).isEmpty());
        QStringList found;
        QCOMPARE(store.CheckSchema(SingleTableStore::SchemaRule(rule), &found), problem);
        QCOMPARE(found, present);
    }

    // Values are checked by their field before anything is written; a
    // refused write leaves the record as it was.
    void writesChecked() {
        SingleTableStore store(Layout(), QStringLiteral("t"));
        QVERIFY(store.Open(Path(QStringLiteral("w.db"))).isEmpty());
        QVERIFY(store.CreateTable().isEmpty());
        QVERIFY(store.CheckValues(kColumns, {"1", "ab", "星"}).isEmpty());
        QVERIFY(store.CheckValues(kColumns, {"1", "命宮命", "x"}).contains(QStringLiteral("長すぎます")));
        QVERIFY(store.CheckValues(kColumns, {"x", "", ""}).contains(QStringLiteral("-32768")));
        QVERIFY(store.CheckValues(kColumns, {"1", "", "🌟"}, {"", "", "説明"})
                    .contains(QStringLiteral("「説明」に使えない文字")));
        QVERIFY(store.CheckValues({"別"}, {"x"}).contains(QStringLiteral("別")));
        QCOMPARE(SingleTableStore::Writable({QStringLiteral("波〜")}), QStringList{QStringLiteral("波～")});

        const StoreWrite added = store.Insert(kColumns, {"1", "ab", "元"});
        QVERIFY2(added.ok, qPrintable(added.Why()));
        QVERIFY(added.rowId > 0);
        // Over the record as it was read: a changed record is not overwritten.
        const QStringList asRead = {"1", "ab", "元"};
        QVERIFY(store.Update(added.rowId, kColumns, {"1", "ab", "他"}).ok);
        const StoreWrite stale = store.Update(added.rowId, kColumns, {"1", "ab", "私"}, &asRead);
        QVERIFY(!stale.ok);
        QCOMPARE(stale.rowsAffected, 0);
        QVERIFY(!stale.error.isValid());
        QCOMPARE(store.SelectRow(added.rowId, kColumns)->values, (QStringList{"1", "ab", "他"}));
        const QStringList now = {"1", "ab", "他"};
        QVERIFY(store.Update(added.rowId, kColumns, {"1", "ab", "私"}, &now).ok);
        // A record that is not there is not written either.
        QVERIFY(!store.Update(added.rowId + 5, kColumns, {"1", "ab", "x"}).ok);
        // The file's own refusal (a second No 1) comes back with its reason.
        const StoreWrite twice = store.Insert(kColumns, {"1", "", ""});
        QVERIFY(!twice.ok);
        QVERIFY(twice.error.isValid());
        const auto rows = store.Select(kColumns);
        QVERIFY(rows);
        QCOMPARE(rows->size(), 1);
        QCOMPARE(rows->first().values.at(2), QStringLiteral("私"));
    }

    // A table rebuilt from other records: every record goes, the table and its
    // columns stay, and a No used before may be written again.
    void removeAllKeepsTheTable() {
        SingleTableStore store(Layout(), QStringLiteral("t"));
        QVERIFY(store.Open(Path(QStringLiteral("r.db"))).isEmpty());
        QVERIFY(store.CreateTable().isEmpty());
        QVERIFY(store.InsertRows(kColumns, {{"1", "ab", "x"}, {"2", "", "y"}}).ok);
        QCOMPARE(store.RemoveAll(), QString());
        QCOMPARE(store.Select(kColumns)->size(), 0);
        QCOMPARE(store.CheckSchema(SingleTableStore::SchemaRule::Exact), QString());
        QVERIFY(store.Insert(kColumns, {"1", "cd", "z"}).ok);
        QCOMPARE(store.Select(kColumns)->first().values, (QStringList{"1", "cd", "z"}));
        store.Close();
        QVERIFY(store.Open(Path(QStringLiteral("r.db")), true).isEmpty());
        QVERIFY(!store.RemoveAll().isEmpty());  // a read-only file says why
        QCOMPARE(store.Select(kColumns)->size(), 1);
    }

    // Records written into a file whose table lacks a declared column are
    // refused with the file's reason, naming the column.
    void insertIntoATableWithoutTheColumn() {
        const QString path = Path(QStringLiteral("fewer.db"));
        MakeFile(path, QStringLiteral("CREATE TABLE T (No, 名前)"));
        SingleTableStore store(Layout(), QStringLiteral("t"));
        QVERIFY(store.Open(path).isEmpty());
        const StoreWrite w = store.InsertRows(kColumns, {{"1", "ab", "x"}});
        QVERIFY(!w.ok);
        QVERIFY2(w.Why().contains(QStringLiteral("内容")), qPrintable(w.Why()));
        QCOMPARE(store.Select({QStringLiteral("No")})->size(), 0);
        QVERIFY(store.Insert({QStringLiteral("No")}, {"2"}).ok);  // no transaction left open
    }

    // A file made from seed records appears only complete: a record the table
    // refuses leaves neither the file nor its temporary.
    void fileFromSeed() {
        SingleTableStore store(Layout(), QStringLiteral("t"));
        SeedRecord one, two;
        one.values = {{QStringLiteral("No"), QStringLiteral("2")}, {QStringLiteral("内容"), QStringLiteral("二")}};
        two.values = {{QStringLiteral("No"), QStringLiteral("1")}};
        const QString path = Path(QStringLiteral("seeded.db"));
        QVERIFY(QFile(path).open(QIODevice::WriteOnly));  // an empty file is replaced
        QCOMPARE(store.CreateFile(path, {one, two}), QString());
        QVERIFY(!QFile::exists(path + QStringLiteral(".new")));
        QVERIFY(store.Open(path, true).isEmpty());
        const auto rows = store.Select(kColumns, QStringLiteral("\"No\""));
        QVERIFY(rows);
        QCOMPARE(rows->size(), 2);
        QCOMPARE(rows->at(1).values, (QStringList{"2", "", "二"}));
        store.Close();

        const QString refused = Path(QStringLiteral("refused.db"));
        QVERIFY(!store.CreateFile(refused, {one, one}).isEmpty());  // No is the key
        QVERIFY(!QFile::exists(refused));
        QVERIFY(!QFile::exists(refused + QStringLiteral(".new")));
    }

    // One writer: a second store finds the lock held and learns by whom;
    // closing the first frees it.
    void oneWriter() {
        const QString path = Path(QStringLiteral("locked.db"));
        SingleTableStore first(Layout(), QStringLiteral("a")), second(Layout(), QStringLiteral("b"));
        QCOMPARE(first.TakeLock(path), RegisterLock::State::Held);
        QVERIFY(first.Open(path).isEmpty());  // opening keeps the lock
        QString holder;
        QCOMPARE(second.TakeLock(path, &holder), RegisterLock::State::HeldElsewhere);
        QVERIFY(!holder.isEmpty());
        first.Close();
        QCOMPARE(second.TakeLock(path), RegisterLock::State::Held);
    }
};

QTEST_GUILESS_MAIN(TestSingleTableStore)
#include "tst_single_table_store.moc"
