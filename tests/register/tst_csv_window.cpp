// The settings window's CSV doors on an open register: export through the
// file dialog in either encoding, import with its confirmation and summary,
// and a refused file that leaves the register as it was.
#include "main/register_csv_window.h"
#include "register/register_csv.h"
#include "tests/register/register_window_fixture.h"

#include <QDir>
#include <QTest>

using namespace zelvara;
using namespace register_test;

class TestCsvWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QVERIFY(QDir::setCurrent(cwd_.path()));  // the save dialog opens on a small, quiet folder
    }

    void exportThenImportIntoAnotherRegister() {
        RegisterFolder source({QStringLiteral("山田, \"花子\"～"), QStringLiteral("見本太郎")});
        RegisterFolder target({QStringLiteral("見本太郎")});
        QWidget parent;
        const QString csv = source.FilePath("out.csv");
        {
            DialogAnswers answers(true, csv);
            ExportRegisterCsvDialog(&parent, source.table);  // through the file dialog
            QVERIFY2(answers.texts.value(0).contains(QStringLiteral("2 件")), qPrintable(answers.Joined()));
        }
        QVERIFY(FileBytes(csv).startsWith("\xEF\xBB\xBF"));

        int resets = 0;
        connect(&target.table, &PersonTable::recordsReset, this, [&resets] { ++resets; });
        {
            DialogAnswers answers(true, csv);
            ImportRegisterCsvDialog(&parent, target.table, csv);
            QCOMPARE(answers.texts.size(), 2);
            QVERIFY2(answers.texts[0].contains(QStringLiteral("1 件を名簿に加えます。同じ人物がすでにある 1 件")),
                     qPrintable(answers.texts[0]));
            QVERIFY2(answers.texts[1].contains(QStringLiteral("1 件を読み込みました")), qPrintable(answers.texts[1]));
        }
        QCOMPARE(target.table.RecordCount(), 2);  // the view shows the new record
        QVERIFY(resets > 0);
        QCOMPARE(target.table.Record(1).values[kFieldName], QStringLiteral("山田, \"花子\"～"));
    }

    void declinedOrRefusedLeavesTheRegister_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QByteArray header =
            QStringLiteral("氏名,生まれた年,生まれた月,生まれた日,生まれた時刻,性別\r\n").toUtf8();
        QTest::newRow("declined") << header + "a,1959,5,7,05:00-07:00,\xE5\xA5\xB3\r\n"
                                  << QStringLiteral("1 件を名簿に加えます");
        QTest::newRow("truncated") << header + "\"a,1959" << QStringLiteral("2 行目から始まる引用符");
        QTest::newRow("all refused") << header + "a,1959,5,7,05:00-07:00,x\r\n" << QStringLiteral("2 行目: 性別「x」");
    }
    void declinedOrRefusedLeavesTheRegister() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        RegisterFolder target({QStringLiteral("甲")});
        const QString csv = target.FilePath("in.csv");
        WriteFile(csv, bytes);
        QWidget parent;
        DialogAnswers answers(false, csv);
        ImportRegisterCsvDialog(&parent, target.table, csv);
        QVERIFY2(answers.Joined().contains(expected), qPrintable(answers.Joined()));
        QCOMPARE(target.table.AllRecords().size(), size_t(1));
    }

private:
    QTemporaryDir cwd_;
};

QTEST_MAIN(TestCsvWindow)
#include "tst_csv_window.moc"
