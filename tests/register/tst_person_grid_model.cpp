// The register as the data page's grid sees it, without a screen: columns in
// their groups, rows following the register's view, an edit of the current
// record in its cell at once, a reset when the view changes.
#include "register/person_grid_model.h"
#include "tests/register/register_test_support.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

using namespace zelvara;
using namespace register_test;

class TestPersonGridModel : public QObject {
    Q_OBJECT
private slots:
    void columnsRowsAndEdits() {
        RegisterFolder folder;
        PersonTable& table = folder.table;
        PersonGridModel model(table);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.columnCount(), kPersonFieldCount);
        QCOMPARE(model.rowCount(), 0);

        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        AddPerson(table, QStringLiteral("山田太郎"), QStringLiteral("紫薇"));
        AddPerson(table, QStringLiteral("見本花子"));
        QVERIFY(resets.count() >= 1);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("氏名"));
        QCOMPARE(model.headerData(4, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("時刻"));
        // Every field once, the 命宮 first of the palaces (成敗 group).
        QList<int> fields;
        for (int c = 0; c < model.columnCount(); ++c) fields << PersonGridModel::FieldOfColumn(c);
        std::sort(fields.begin(), fields.end());
        for (int f = 0; f < kPersonFieldCount; ++f) QCOMPARE(fields[f], f);
        QCOMPARE(PersonGridModel::FieldOfColumn(6), PalaceFieldIndex(2));
        QCOMPARE(model.data(model.index(0, 6), Qt::DisplayRole).toString(), QStringLiteral("紫薇"));
        QCOMPARE(model.data(model.index(1, 0), Qt::DisplayRole).toString(), QStringLiteral("見本花子"));
        QVERIFY(!model.data(model.index(0, 0), Qt::EditRole).isValid());  // the grid only shows

        // Typing into the current record shows in its cell before it is posted.
        QVERIFY(table.MoveTo(0));
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        table.SetValue(kFieldName, QStringLiteral("山田一郎"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed[0][0].value<QModelIndex>(), model.index(0, 0));
        QCOMPARE(model.data(model.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("山田一郎"));
        QVERIFY(table.Post());
    }
};

QTEST_MAIN(TestPersonGridModel)
#include "tst_person_grid_model.moc"
