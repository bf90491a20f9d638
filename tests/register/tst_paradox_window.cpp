// The settings window's Paradox door on an open register and the user's
// tables: the register's records with the same confirmation and summary as a
// CSV import; the texts replaced only after the question is answered yes,
// with a backup, pending edits saved first and the tables reopened after;
// a missing memo file or a damaged table said in a box with nothing changed.
#include "main/paradox_window.h"
#include "store/legends_table.h"
#include "tests/register/paradox_damage.h"
#include "tests/register/paradox_fixture.h"
#include "tests/register/register_window_fixture.h"
#include "windows/settings_window.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace zelvara;
using namespace register_test;

class TestParadoxWindow : public QObject {
    Q_OBJECT
private slots:
    void settingsWindowOffersBothImports() {
        QTemporaryDir dir;
        RecordingSink sink;
        TCunstomFrm window(sink, QStringLiteral("Zelvara"), dir.filePath("zelv.ini"));
        auto* button = window.findChild<QPushButton*>(QStringLiteral("paradoxbtn"));
        QVERIFY(button && button->menu());
        QVERIFY(!button->isVisibleTo(&window));
        QStringList opened;
        window.SetParadoxDoors([&] { opened << "register"; }, [&] { opened << "texts"; });
        QVERIFY(button->isVisibleTo(&window));
        QCOMPARE(button->text(), QStringLiteral("Paradox から取り込み…"));
        for (const char* name : {"paradoxtexts", "paradoxregister"}) {
            auto* action = button->menu()->findChild<QAction*>(QLatin1String(name));
            QVERIFY2(action, name);
            action->trigger();
        }
        QCOMPARE(opened, (QStringList{"texts", "register"}));
    }

    void registerRecordsWithConfirmationAndSummary() {
        RegisterFolder target({QStringLiteral("見本太郎")});
        QStringList same{QStringLiteral("見本太郎"), "1959", "5", "7", "05:00-07:00", QStringLiteral("男")};
        QStringList other{QStringLiteral("～新しい人"), "S34", "1", "2", QStringLiteral("不明の場合"),
                          QStringLiteral("女")};
        const QString db = target.FilePath("old.db");
        QCOMPARE(paradox_fixture::Write(db, paradox_fixture::RegisterFields(), {same, other}), QString());
        DialogAnswers answers(true);
        ImportRegisterParadoxDialog(nullptr, target.table, db);
        QCOMPARE(answers.texts.size(), 2);
        QVERIFY2(answers.texts[0].contains(QStringLiteral("1 件を名簿に加えます")), qPrintable(answers.texts[0]));
        QVERIFY2(answers.texts[1].contains(QStringLiteral("1 件を読み込みました")), qPrintable(answers.texts[1]));
        QCOMPARE(target.table.RecordCount(), 2);
        QCOMPARE(target.table.AllRecords().back()[kFieldName], QStringLiteral("～新しい人"));
    }

    // The desktop door reads through the same checks: a 40-record table
    // whose header counts one record is refused in a box, nothing imported.
    void damagedRegisterTableRefusedInABox() {
        RegisterFolder target({QStringLiteral("見本太郎")});
        QList<QStringList> records;
        for (int i = 0; i < 40; ++i)
            records << QStringList{QStringLiteral("人%1").arg(i), "1959", "5", "7", "05:00-07:00",
                                   QStringLiteral("男")};
        const QString db = target.FilePath("old.db");
        QCOMPARE(paradox_fixture::Write(db, paradox_fixture::RegisterFields(), records), QString());
        QVERIFY(paradox_damage::Apply(db, paradox_damage::Named("record-count-one")));
        DialogAnswers answers(true);
        ImportRegisterParadoxDialog(nullptr, target.table, db);
        QCOMPARE(answers.texts.size(), 1);
        QVERIFY2(answers.texts[0].contains(QStringLiteral("見出しの記録数 1 件")), qPrintable(answers.texts[0]));
        QCOMPARE(target.table.RecordCount(), 1);
        QVERIFY(!QFileInfo::exists(target.FilePath("backup")) ||
                QDir(target.FilePath("backup")).entryList({"nam_data-*-*.db"}).isEmpty());
    }

    void textsReplacedOnlyAfterYes_data() {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("memoFile");
        QTest::newRow("declined") << false << true;
        QTest::newRow("accepted") << true << true;
        QTest::newRow("missing memo file") << true << false;
        QTest::newRow("edits that cannot be saved") << true << true;
    }
    void textsReplacedOnlyAfterYes() {
        QFETCH(bool, answer);
        QFETCH(bool, memoFile);
        QTemporaryDir dir;
        RecordingSink sink;
        LegendsTable shown(sink);
        QVERIFY(shown.Open(dir.path()));
        const QString legends = dir.filePath(LegendsTable::kFileName);
        const QByteArray before = FileBytes(legends);
        const QString from = dir.filePath("paradox");
        QVERIFY(QDir().mkpath(from));
        const QString text = QStringLiteral("取り込んだ紫微星の説明。").repeated(10);
        QCOMPARE(
            paradox_fixture::Write(QDir(from).filePath("helpbun.DB"), paradox_fixture::LegendMemoFields(), {{text}}),
            QString());
        if (!memoFile) QVERIFY(QFile::remove(QDir(from).filePath("helpbun.MB")));

        const bool unsaved = QByteArray(QTest::currentDataTag()) == "edits that cannot be saved";
        int saved = 0, reopened = 0;
        DialogAnswers answers(answer);
        ImportTextsParadoxDialog(
            nullptr, dir.path(), [&] { return ++saved > 0 && !unsaved; }, [&] { ++reopened, shown.Open(dir.path()); },
            from);
        const bool replaced = answer && memoFile && !unsaved;
        QCOMPARE(saved, answer && memoFile ? 1 : 0);
        QCOMPARE(reopened, replaced ? 1 : 0);
        QCOMPARE(QDir(dir.filePath("backup")).entryList({"helpbun-*.DB"}).size(), replaced ? 1 : 0);
        if (replaced) {
            QCOMPARE(shown.Value(LegendFieldNames().at(0)), text);
            QVERIFY2(answers.texts.last().contains(QStringLiteral("1 個の表を取り込みました")),
                     qPrintable(answers.texts.last()));
        } else {
            QCOMPARE(FileBytes(legends), before);
        }
        if (unsaved)
            QVERIFY2(answers.texts.last().contains(QStringLiteral("取り込みをやめました")),
                     qPrintable(answers.texts.join('\n')));
        if (!memoFile)
            QVERIFY2(answers.texts.value(0).contains(QStringLiteral("helpbun.MB")),
                     qPrintable(answers.texts.join('\n')));
        else
            QVERIFY2(answers.texts.value(0).contains(QStringLiteral("置き換えます")),
                     qPrintable(answers.texts.join('\n')));
    }
};

QTEST_MAIN(TestParadoxWindow)
#include "tst_paradox_window.moc"
