// The whole default ranges, as the maintainers run them.
#include "batch/koyomi_table.h"
#include "tests/batch/batch_test_support.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace zelvara::batch;

class TestBatchFullRuns : public QObject {
    Q_OBJECT
private slots:
    void twoTxt1925To2010() {
        QTemporaryDir out;
        const BatchOutcome o = batchtest::Run(BatchKind::TwoTxt, out.path());
        QVERIFY2(o.ok, qPrintable(o.error));
        qInfo("2TXT 1925-2010: %ld charts in %.2f s", o.moments, o.seconds);
        QCOMPARE(o.files.size(), 86);
        QCOMPARE(o.refused, 0L);
        const long days = 86 * 365 + 21;  // 1928 … 2008 have 29 February
        QCOMPARE(o.moments, days * 12);
        long lines = 0;
        for (const QString& f : o.files) lines += batchtest::ReadLines(f).size();
        QCOMPARE(lines, days * 12);
        QVERIFY(o.files.last().endsWith("zelv2010.txt"));
    }

    void koyomi1930To2010() {
        QTemporaryDir out;
        const BatchOutcome o = batchtest::Run(BatchKind::Koyomi, out.path());
        QVERIFY2(o.ok, qPrintable(o.error));
        qInfo("koyomi.DB 1930-2010: %ld records in %.2f s", o.moments, o.seconds);
        QCOMPARE(o.moments, 355020L);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "full");
            db.setDatabaseName(out.filePath("koyomi.DB"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("SELECT count(*), min(KOYOMI), max(KOYOMI) FROM koyomi") && q.next());
            QCOMPARE(q.value(0).toInt(), 355020);
            QCOMPARE(q.value(1).toInt(), 1930010100);
            QCOMPARE(q.value(2).toInt(), 2010123111);
            // Stored in the order of the moments.
            QVERIFY(q.exec("SELECT count(*) FROM (SELECT KOYOMI, lag(KOYOMI) OVER (ORDER BY rowid) AS before "
                           "FROM koyomi) WHERE before >= KOYOMI") &&
                    q.next());
            QCOMPARE(q.value(0).toInt(), 0);
            db.close();
        }
        QSqlDatabase::removeDatabase("full");
    }
};

QTEST_GUILESS_MAIN(TestBatchFullRuns)
#include "tst_full_runs.moc"
