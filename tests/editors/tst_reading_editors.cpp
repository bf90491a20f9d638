// The reading-text editor windows over the shared tables: their pages, tabs
// and memos; saving on a move, on "更新登録" and on "登録して閉じる"; a refused
// save that keeps what was typed; and the readings seeing the edits.
#include "editors/ai_db_window.h"
#include "editors/cap_navi.h"
#include "editors/dbenv_window.h"
#include "editors/koun_db_window.h"
#include "editors/navi_button.h"
#include "editors/record_navigator.h"
#include "editors/tab_rows.h"
#include "engine/chart_layout.h"
#include "readings/luck_reading.h"
#include "readings/overall_reading.h"
#include "tests/readings/reading_fixture.h"

#include <QDataWidgetMapper>
#include <QDirIterator>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

using namespace zelvara;

namespace {

const QString kKantei = QStringLiteral(R"(
[記録]
No: 1
宮名称: 父母宮
紫薇星1: 父母宮の紫薇
[記録]
No: 2
宮名称: 命宮
紫薇星1: 命宮の紫薇
[記録]
No: 3
宮名称: 兄弟宮
紫薇星1: 兄弟宮の紫薇
)");

const QString kKyu12 = QStringLiteral(R"(
[記録]
No: 1
宮名称: 父母宮
内容: 父母宮の内容
[記録]
No: 2
宮名称: 命宮
内容: 一つ目の命宮の内容
星相性: 一つ目の命宮の相性
紫薇星: 甲
)");

// What a second, independent look at the program folder finds in a table:
// the value of field in the record whose 宮名称 (or, without one, whose
// position) is given.
QString Stored(const QString& folder, TableId id, int row, const QString& field) {
    RecordingSink quiet;
    ReadingTables fresh(quiet);
    fresh.Open(folder, {});
    ReadingTable& t = fresh.Table(id);
    if (row >= t.RecordCount()) return QStringLiteral("<no record %1>").arg(row);
    return t.Value(row, field).value_or(QStringLiteral("<no field>"));
}

void Type(QPlainTextEdit* memo, const QString& text) {
    QVERIFY(memo);
    memo->selectAll();
    memo->insertPlainText(text);
}

QStringList MemoFields(QWidget* page) {
    QStringList fields;
    if (auto* self = qobject_cast<QPlainTextEdit*>(page)) fields << self->objectName();
    for (QPlainTextEdit* m : page->findChildren<QPlainTextEdit*>()) fields << m->objectName();
    return fields;
}

// The fields a grid shows, in column order.
QStringList GridFields(QTableView* grid) {
    QStringList fields;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        if (!grid->isColumnHidden(c)) fields << grid->model()->headerData(c, Qt::Horizontal).toString();
    return fields;
}

QPlainTextEdit* Memo(TabRows* tabs, int i) { return qobject_cast<QPlainTextEdit*>(tabs->Page(i)); }

QStringList Captions(TCaptionDBNavi* navi) {
    QStringList out;
    for (int k = 0; k < kNaviButtonCount; ++k) out << navi->Button(TNavigateBtn(k))->text();
    return out;
}

// Luck periods forward from age 3 on palaces 2, 1, 12 …, period 1 ruled by name.
Tmandata LuckChart(const QString& name) {
    Tmandata man;
    man.sexCode = 'M';
    man.branches.year = 1;
    for (int p = 1; p <= kPalaces; ++p) man.palaceBranch[p] = p;
    man.firstLuckAge = 3;
    man.luckDirection = 0;
    LayOutLuckPeriods(man);
    for (int j = 1; j <= 12; ++j) man.daiunStarName[j] = j == 1 ? name.toStdString() : "空白";
    return man;
}

void SaveShot(QWidget* w, const QString& name) {
    const QString folder = qEnvironmentVariable("ZELVARA_SHOT_DIR");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QVERIFY(w->grab().save(QDir(folder).filePath(name + QStringLiteral(".png"))));
}

}  // namespace

class TestReadingEditors : public QObject {
    Q_OBJECT
private slots:
    void dbenvPages() {
        ReadingFixture fx;
        fx.WriteSeed("KANTEI.txt", kKantei);
        fx.WriteSeed("KYU12.txt", kKyu12);
        Tdbenvfrm w(fx.Open());
        QCOMPARE(w.windowTitle(), QStringLiteral("鑑定文章とアルゴリズムデータベース変更画面"));
        QCOMPARE(w.size(), QSize(763, 596));
        QStringList pages;
        for (int i = 0; i < w.PageControl1->count(); ++i) pages << w.PageControl1->tabText(i);
        QCOMPARE(pages, (QStringList{"１２宮の説明DB", "鑑定文章のＤＢ", "１２宮の甲乙丙丁分類DB"}));
        QCOMPARE(w.DBMemo1->objectName(), QStringLiteral("内容"));
        QCOMPARE(w.DBMemo2->objectName(), QStringLiteral("星相性"));
        QCOMPARE(w.Kyu12Records().Mapper()->mappedSection(w.DBMemo2), w.Kyu12Records().Table().ColumnOf("星相性"));
        QCOMPARE(GridFields(w.DBGrid3), (QStringList{"No", "宮名称"}));
        QCOMPARE(w.DBGrid3->columnWidth(0), 30);
        QCOMPARE(w.DBGrid3->columnWidth(1), 70);
        QCOMPARE(GridFields(w.DBGrid1), SchemaOf(TableId::Kyu12).FieldNames());
        QCOMPARE(GridFields(w.DBGrid2).size(), 25);
        const QStringList japanese = {"最初へ", "前へ", "次へ",     "最後へ",     "新規挿入",
                                      "削除",   "編集", "更新登録", "キャンセル", "再表示"};
        for (TCaptionDBNavi* navi : {w.CaptionDBNavi1, w.CaptionDBNavi2, w.CaptionDBNavi3}) {
            QCOMPARE(Captions(navi), japanese);
            QCOMPARE(navi->CaptionLayout(), cbTop);
        }
        QCOMPARE(w.CaptionDBNavi2->Target(), &w.KanteiRecords());
        QCOMPARE(w.CaptionDBNavi3->Target(), &w.Kyu12Records());
        QStringList notes;
        for (QLabel* l : w.findChildren<QLabel*>()) notes << l->text();
        QVERIFY(notes.contains(
            "上下の２段ある場合→上が長所　下が短所となります。１段しかない場合は長所短所の区別がありません。"));
        QVERIFY(notes.contains("甲・乙・丙・丁・級星の意味の説明"));
        QVERIFY(notes.contains("丁級星→「廟」と「旺」の状態で小凶　「失」「陥」では大凶の状態の星を言う。"));
        QVERIFY2(fx.sink.messages.isEmpty(), qPrintable(fx.sink.messages.join('\n')));
        SaveShot(&w, "dbenv_palaces");
        w.PageControl1->setCurrentIndex(1);
        SaveShot(&w, "dbenv_kantei");
        w.PageControl2->SetCurrentIndex(w.PageControl2->IndexOf("羊陀"));
        SaveShot(&w, "dbenv_kantei_youda");
        w.PageControl1->setCurrentIndex(2);
        SaveShot(&w, "dbenv_grades");
    }

    void kanteiTabs_data() {
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QStringList>("fields");  // in the order of the memos
        QTest::addColumn<QStringList>("captions");
        for (const char* major : {"紫薇", "天機", "太陽", "武曲", "天同", "廉貞", "天府", "太陰", "貪狼", "巨門",
                                  "天相", "天梁", "七殺", "破軍"}) {
            const QString n = QString::fromUtf8(major);
            QTest::newRow(major) << n << QStringList{n + "星1", n + "星2"} << QStringList();
        }
        QTest::newRow("炎鈴") << "炎鈴" << QStringList{"炎星星1", "炎星星2", "鈴星星1", "鈴星星2"}
                              << QStringList{"炎星星1", "鈴星星1"};
        QTest::newRow("曲昌") << "曲昌" << QStringList{"文曲星1", "文曲星2", "文昌星1", "文昌星2"}
                              << QStringList{"文曲星1", "文昌星1"};
        QTest::newRow("羊陀") << "羊陀" << QStringList{"羊刃星1", "羊刃星2", "陀羅星1", "陀羅星2"}
                              << QStringList{"羊刃星1 - 2", "陀羅星1 - 2"};
        QTest::newRow("天存") << "天存" << QStringList{"天存星1"} << QStringList();
        QTest::newRow("魁鉞") << "魁鉞" << QStringList{"天魁星1", "天鉞星1"} << QStringList();
        QTest::newRow("左右") << "左右" << QStringList{"左輔星1", "右弼星1"} << QStringList();
        QTest::newRow("空劫") << "空劫" << QStringList{"天空星1", "地劫星1"} << QStringList();
        for (const char* one : {"天耗", "紅鸞", "天喜", "天姚", "天刑", "化禄", "化権", "化科", "化忌"})
            QTest::newRow(one) << QString::fromUtf8(one) << QStringList{QString::fromUtf8(one) + "星1"}
                               << QStringList();
    }
    void kanteiTabs() {
        QFETCH(QString, tab);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, captions);
        ReadingFixture fx;
        fx.WriteSeed("KANTEI.txt", kKantei);
        Tdbenvfrm w(fx.Open());
        QCOMPARE(w.PageControl2->Count(), 30);
        const int index = w.PageControl2->IndexOf(tab);
        QVERIFY2(index >= 0, qPrintable(tab));
        QWidget* page = w.PageControl2->Page(index);
        QCOMPARE(MemoFields(page), fields);
        QStringList shown;
        for (QLabel* l : page->findChildren<QLabel*>()) shown << l->text();
        QCOMPARE(shown, captions);
    }

    void kanteiTabOrder() {
        ReadingFixture fx;
        Tdbenvfrm w(fx.Open());
        QStringList tabs;
        for (int i = 0; i < w.PageControl2->Count(); ++i) tabs << w.PageControl2->TabText(i);
        QCOMPARE(tabs.join(' '),
                 QStringLiteral("紫薇 天機 太陽 武曲 天同 廉貞 天府 太陰 貪狼 巨門 天相 天梁 七殺 破軍 炎鈴 曲昌 羊陀 "
                                "天存 魁鉞 左右 空劫 天耗 紅鸞 天喜 天姚 天刑 化禄 化権 化科 化忌"));
        // No memo for 内容, nor for the weaknesses of additional stars.
        QVERIFY(!w.KanteiMemo("内容") && !w.KanteiMemo("天存星2") && !w.KanteiMemo("化忌星2"));
    }

    void memoSavedWhenAnotherPalaceIsPicked() {
        ReadingFixture fx;
        fx.WriteSeed("KANTEI.txt", kKantei);
        ReadingTables& tables = fx.Open();
        Tdbenvfrm w(tables);
        QPlainTextEdit* memo = w.KanteiMemo("紫薇星1");
        QCOMPARE(memo->toPlainText(), QStringLiteral("父母宮の紫薇"));
        Type(memo, "書き換えた父母宮の紫薇");
        QVERIFY(w.KanteiRecords().IsEditing());
        QCOMPARE(Stored(fx.Folder(), TableId::Kantei, 0, "紫薇星1"), QStringLiteral("父母宮の紫薇"));

        w.DBGrid3->setCurrentIndex(w.DBGrid3->model()->index(2, 1));
        QCOMPARE(w.KanteiRecords().CurrentRow(), 2);
        QCOMPARE(memo->toPlainText(), QStringLiteral("兄弟宮の紫薇"));
        QCOMPARE(Stored(fx.Folder(), TableId::Kantei, 0, "紫薇星1"), QStringLiteral("書き換えた父母宮の紫薇"));
        QVERIFY(!w.KanteiRecords().IsEditing());
        QVERIFY2(fx.sink.messages.isEmpty(), qPrintable(fx.sink.messages.join('\n')));

        // The navigator's 更新登録 saves without moving.
        Type(memo, "兄弟宮の新しい紫薇");
        QVERIFY(w.CaptionDBNavi2->Button(nbPost)->isEnabled());
        QTest::mouseClick(w.CaptionDBNavi2->Button(nbPost), Qt::LeftButton);
        QCOMPARE(Stored(fx.Folder(), TableId::Kantei, 2, "紫薇星1"), QStringLiteral("兄弟宮の新しい紫薇"));
        QVERIFY(!w.CaptionDBNavi2->Button(nbPost)->isEnabled());
    }

    // A reading composed while an editor holds unsaved text, whether it can
    // be saved or not, reads the texts as saved and leaves the editor as it
    // was: same record, same text, still editing. Saved, the text shows in
    // the next reading.
    void readingsLeaveTheEditorAlone() {
        ReadingFixture fx;
        fx.WriteSeed("KANTEI.txt", kKantei);
        fx.WriteSeed("KYU12.txt", kKyu12);
        ReadingTables& tables = fx.Open();
        Tdbenvfrm w(tables);
        w.CaptionDBNavi2->BtnClick(nbNext);
        QCOMPARE(w.KanteiRecords().CurrentRow(), 1);  // 命宮
        Tmandata man;
        man.brightness.fill(1);
        BoxTextTable box{};
        box[2][1] = "紫薇";
        auto reading = [&] {
            return ComposeOverallReading(man, box, 2, *tables.Texts(), fx.sink).kanteiMemo->join('\n');
        };
        const QString before = reading();
        QVERIFY2(before.contains("命宮の紫薇"), qPrintable(before));

        for (const QString& typed : {QStringLiteral("書けない文字😀"), QStringLiteral("まだ保存しない命宮の紫薇")}) {
            Type(w.KanteiMemo("紫薇星1"), typed);
            QCOMPARE(reading(), before);
            QVERIFY2(fx.sink.messages.isEmpty(), qPrintable(fx.sink.messages.join('\n')));
            QCOMPARE(w.KanteiRecords().CurrentRow(), 1);
            QCOMPARE(w.DBGrid3->currentIndex().row(), 1);
            QVERIFY(w.KanteiRecords().IsEditing());
            QCOMPARE(w.KanteiMemo("紫薇星1")->toPlainText(), typed);
        }
        QCOMPARE(Stored(fx.Folder(), TableId::Kantei, 1, "紫薇星1"), QStringLiteral("命宮の紫薇"));

        QTest::mouseClick(w.CaptionDBNavi2->Button(nbPost), Qt::LeftButton);
        QVERIFY2(reading().contains("まだ保存しない命宮の紫薇"), qPrintable(reading()));
    }

    void refusedSaveKeepsTheText_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("No used by another record") << "No"
                                                   << "1"
                                                   << "番号（No）1 は「父母宮」の記録ですでに使われています。";
        QTest::newRow("No empty") << "No"
                                  << ""
                                  << "番号（No）が空です。";
        QTest::newRow("No not a number") << "No"
                                         << "九"
                                         << "-32768 から 32767 までの整数";
        QTest::newRow("palace name too long") << "宮名称"
                                              << "とても長い宮の名前です十一"
                                              << "宮名称";
    }
    void refusedSaveKeepsTheText() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        ReadingFixture fx;
        fx.WriteSeed("KANTEI.txt", kKantei);
        ReadingTables& tables = fx.Open();
        Tdbenvfrm w(tables);
        w.show();
        w.CaptionDBNavi2->BtnClick(nbNext);
        QVERIFY(tables.kantei().SetValue(1, field, value));
        Type(w.KanteiMemo("紫薇星1"), "消えてはならない文");

        QTest::mouseClick(w.CaptionDBNavi2->Button(nbPost), Qt::LeftButton);
        QCOMPARE(fx.sink.messages.size(), 1);
        QVERIFY2(fx.sink.Last().contains(message), qPrintable(fx.sink.Last()));
        QVERIFY(w.isVisible());
        QVERIFY(w.KanteiRecords().IsEditing());
        QVERIFY(w.CaptionDBNavi2->Button(nbPost)->isEnabled());
        QCOMPARE(w.KanteiMemo("紫薇星1")->toPlainText(), QStringLiteral("消えてはならない文"));

        // Picking another palace tries to save again, is refused again, and stays.
        w.DBGrid3->setCurrentIndex(w.DBGrid3->model()->index(2, 0));
        QCOMPARE(fx.sink.messages.size(), 2);
        QCOMPARE(w.KanteiRecords().CurrentRow(), 1);
        QCOMPARE(w.DBGrid3->currentIndex().row(), 1);
        QCOMPARE(*tables.kantei().Value(1, "紫薇星1"), QStringLiteral("消えてはならない文"));
        QCOMPARE(Stored(fx.Folder(), TableId::Kantei, 1, "紫薇星1"), QStringLiteral("命宮の紫薇"));

        // Put right, the same text is saved.
        const QString good = field == "No" ? "7" : "命宮";
        QVERIFY(w.DBGrid3->model()->setData(w.DBGrid3->model()->index(1, field == "No" ? 0 : 1), good));
        QTest::mouseClick(w.CaptionDBNavi2->Button(nbPost), Qt::LeftButton);
        QCOMPARE(fx.sink.messages.size(), 2);
        QVERIFY(!w.KanteiRecords().IsEditing());
        QCOMPARE(w.KanteiRecords().CurrentValue("紫薇星1"), QStringLiteral("消えてはならない文"));
        QCOMPARE(w.KanteiMemo("紫薇星1")->toPlainText(), QStringLiteral("消えてはならない文"));
    }

    // A cell edited in a grid waits, like a memo, for the navigator: Enter
    // neither saves the record nor Escape drops its other edits.
    void gridCellEditWaitsForTheNavigator() {
        ReadingFixture fx;
        fx.WriteSeed("KANTEI.txt", kKantei);
        ReadingTables& tables = fx.Open();
        Tdbenvfrm w(tables);
        w.PageControl1->setCurrentIndex(1);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        Type(w.KanteiMemo("紫薇星1"), "残す文");
        const QModelIndex palace = w.DBGrid3->model()->index(0, 1);
        auto typeInCell = [&](const QString& text, Qt::Key key) {
            w.DBGrid3->edit(palace);
            auto* editor = qobject_cast<QLineEdit*>(w.DBGrid3->indexWidget(palace));
            QVERIFY(editor);
            editor->setText(text);
            QTest::keyClick(editor, key);
        };
        typeInCell("父母の宮", Qt::Key_Return);
        QCOMPARE(*tables.kantei().Value(0, "宮名称"), QStringLiteral("父母の宮"));
        QVERIFY(w.KanteiRecords().IsEditing());
        QCOMPARE(Stored(fx.Folder(), TableId::Kantei, 0, "宮名称"), QStringLiteral("父母宮"));
        typeInCell("捨てる名", Qt::Key_Escape);
        QCOMPARE(*tables.kantei().Value(0, "宮名称"), QStringLiteral("父母の宮"));
        QCOMPARE(w.KanteiMemo("紫薇星1")->toPlainText(), QStringLiteral("残す文"));
        QVERIFY(tables.kantei().IsRowModified(0));
        QVERIFY2(fx.sink.messages.isEmpty(), qPrintable(fx.sink.messages.join('\n')));
    }

    // The grid's row header marks the current record, and the mark follows it.
    void gridMarksTheCurrentRecord() {
        ReadingFixture fx;
        fx.WriteSeed("KANTEI.txt", kKantei);
        ReadingTables& tables = fx.Open();
        Tdbenvfrm w(tables);
        w.PageControl1->setCurrentIndex(1);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QHeaderView* header = w.DBGrid3->verticalHeader();
        auto section = [header](int row) {
            return header->viewport()
                ->grab(QRect(0, header->sectionViewportPosition(row), header->width(), header->sectionSize(row)))
                .toImage();
        };
        QVERIFY(section(0) != section(1));
        QCOMPARE(section(1), section(2));
        QVERIFY(w.KanteiRecords().MoveTo(1));
        QVERIFY(section(1) != section(0));
        QCOMPARE(section(0), section(2));
    }

    void navigatorActsOnTheTable() {
        ReadingFixture fx;
        fx.WriteSeed("KANTEI.txt", kKantei);
        ReadingTables& tables = fx.Open();
        Tdbenvfrm w(tables);
        TCaptionDBNavi* navi = w.CaptionDBNavi2;
        navi->SetConfirmDelete(false);
        auto enabled = [navi] {
            QString s;
            for (int k = 0; k < kNaviButtonCount; ++k) s += navi->Button(TNavigateBtn(k))->isEnabled() ? '1' : '0';
            return s;
        };
        RecordNavigator& records = w.KanteiRecords();
        QCOMPARE(enabled(), QStringLiteral("0011111001"));
        navi->BtnClick(nbLast);
        QCOMPARE(records.CurrentRow(), 2);
        QCOMPARE(enabled(), QStringLiteral("1100111001"));
        navi->BtnClick(nbPrior);
        QCOMPARE(records.CurrentRow(), 1);

        // Insert adds a record after the highest No; cancel takes it away again.
        navi->BtnClick(nbInsert);
        QCOMPARE(tables.kantei().RecordCount(), 4);
        QCOMPARE(records.CurrentRow(), 3);
        QCOMPARE(records.CurrentValue("No"), QStringLiteral("4"));
        QCOMPARE(enabled().mid(6, 3), QStringLiteral("011"));
        navi->BtnClick(nbCancel);
        QCOMPARE(tables.kantei().RecordCount(), 3);
        QCOMPARE(Stored(fx.Folder(), TableId::Kantei, 3, "No"), QStringLiteral("<no record 3>"));

        // Insert, fill in, save: kept.
        navi->BtnClick(nbInsert);
        tables.kantei().SetValue(records.CurrentRow(), "宮名称", "夫妻宮");
        Type(w.KanteiMemo("天機星1"), "夫妻宮の天機");
        navi->BtnClick(nbPost);
        QCOMPARE(Stored(fx.Folder(), TableId::Kantei, 3, "天機星1"), QStringLiteral("夫妻宮の天機"));

        // Edit and cancel: the text comes back.
        navi->BtnClick(nbFirst);
        navi->BtnClick(nbEdit);
        QCOMPARE(enabled().mid(6, 3), QStringLiteral("011"));
        Type(w.KanteiMemo("紫薇星1"), "取り消す文");
        navi->BtnClick(nbCancel);
        QCOMPARE(w.KanteiMemo("紫薇星1")->toPlainText(), QStringLiteral("父母宮の紫薇"));

        // Delete the second record; refresh reads the file again.
        navi->BtnClick(nbNext);
        navi->BtnClick(nbDelete);
        QCOMPARE(tables.kantei().RecordCount(), 3);
        QCOMPARE(Stored(fx.Folder(), TableId::Kantei, 1, "宮名称"), QStringLiteral("兄弟宮"));
        QCOMPARE(records.CurrentValue("宮名称"), QStringLiteral("兄弟宮"));
        navi->BtnClick(nbRefresh);
        QCOMPARE(tables.kantei().RecordCount(), 3);
        QCOMPARE(w.DBGrid3->model()->index(2, 1).data().toString(), QStringLiteral("夫妻宮"));
        QVERIFY2(fx.sink.messages.isEmpty(), qPrintable(fx.sink.messages.join('\n')));
    }

    void secondPalaceRecordDoesNotFeedTheReading() {
        ReadingFixture fx;
        fx.WriteSeed("KYU12.txt", kKyu12);
        fx.WriteSeed("KANTEI.txt", kKantei);
        ReadingTables& tables = fx.Open();
        Tdbenvfrm w(tables);
        w.CaptionDBNavi1->BtnClick(nbInsert);
        QAbstractItemModel* grid = w.DBGrid1->model();
        const int row = w.Kyu12Records().CurrentRow();
        QCOMPARE(row, 2);
        QVERIFY(grid->setData(grid->index(row, 1), "命宮"));
        QVERIFY(grid->setData(grid->index(row, 4), "丁"));  // 紫薇星
        Type(w.DBMemo1, "二つ目の命宮の内容");
        w.CaptionDBNavi1->BtnClick(nbPost);
        QCOMPARE(Stored(fx.Folder(), TableId::Kyu12, 2, "内容"), QStringLiteral("二つ目の命宮の内容"));

        Tmandata man;
        man.brightness.fill(1);
        BoxTextTable box{};
        box[2][1] = "紫薇";
        const OverallReading r = ComposeOverallReading(man, box, 2, *tables.Texts(), fx.sink);
        const QString all = r.hlp12Memo->join('\n') + '\n' + r.kanteiMemo->join('\n');
        QVERIFY2(all.contains("一つ目の命宮の内容"), qPrintable(all));
        QVERIFY2(!all.contains("二つ目"), qPrintable(all));
        QVERIFY2(all.contains("甲級星"), qPrintable(all));
    }

    void luckTextsEditedAndClosed() {
        ReadingFixture fx;
        fx.WriteSeed("hosiImi.txt", ReadingFixture::OneRecord({{"駅馬星", "古い駅馬の文"}, {"紫薇星", "紫薇の運"}}));
        ReadingTables& tables = fx.Open();
        TkounDBfrm w(tables);
        QCOMPARE(w.windowTitle(), QStringLiteral("行運のデータベース画面"));
        QCOMPARE(w.closebtn->text(), QStringLiteral("登録して閉じる"));
        QCOMPARE(w.PageControl1->Count(), 33);
        QStringList tabs, fields;
        for (int i = 0; i < w.PageControl1->Count(); ++i) {
            tabs << w.PageControl1->TabText(i);
            fields << MemoFields(w.PageControl1->Page(i));
        }
        QCOMPARE(tabs, LuckTabFields());
        QCOMPARE(fields, tabs);
        QCOMPARE(tabs.indexOf("駅馬星"), 25);
        QVERIFY(!tabs.contains("化禄星") && !tabs.contains("化忌星"));
        QCOMPARE(*w.LuckTextFor("空白"), QuietPeriodSentence());
        QCOMPARE(*w.LuckTextFor("駅馬星"), QStringLiteral("古い駅馬の文"));

        w.show();
        QPlainTextEdit* memo = Memo(w.PageControl1, tabs.indexOf("駅馬星"));
        Type(memo, "新しい駅馬の文");
        QTest::mouseClick(w.closebtn, Qt::LeftButton);
        QVERIFY(w.isHidden());
        QCOMPARE(Stored(fx.Folder(), TableId::HosiImi, 0, "駅馬星"), QStringLiteral("新しい駅馬の文"));
        Tmandata man = LuckChart("駅馬星");
        const LuckReading r = ComposeLuckReading(man, 1, *tables.Texts(), fx.sink);
        QVERIFY2(r.kounMemo.contains("新しい駅馬の文"), qPrintable(r.kounMemo.join('\n')));
        QVERIFY(!r.kounMemo.join('\n').contains("古い駅馬の文"));
        QCOMPARE(*w.LuckTextFor("駅馬星"), QStringLiteral("新しい駅馬の文"));

        // Refused: the window stays with the text.
        w.show();
        Type(memo, "書けない文字😀");
        QTest::mouseClick(w.closebtn, Qt::LeftButton);
        QVERIFY(w.isVisible());
        QCOMPARE(fx.sink.messages.size(), 1);
        QCOMPARE(memo->toPlainText(), QStringLiteral("書けない文字😀"));
        SaveShot(&w, "koun_db");
    }

    void partnerTextsPostBothInOrder() {
        ReadingFixture fx;
        fx.WriteSeed("Ai01.txt", ReadingFixture::OneRecord({{"紫薇星", "元の文"}}));
        fx.WriteSeed("Ai02.txt", ReadingFixture::OneRecord({{"陀羅星", "元の文"}}));
        ReadingTables& tables = fx.Open();
        TAiDBfrm w(tables);
        QCOMPARE(w.windowTitle(), QStringLiteral("結婚の相性データベース画面"));
        QVERIFY(w.Ai01Records().IsEditing() && w.Ai02Records().IsEditing());
        for (TabRows* tabs : {w.PageControl1, w.PageControl2}) {
            QCOMPARE(tabs->Count(), 20);
            QCOMPARE(tabs->TabText(0), QStringLiteral("紫薇星"));
            QCOMPARE(tabs->TabText(19), QStringLiteral("陀羅星"));
            QCOMPARE(MemoFields(tabs->Page(14)), QStringList{"炎星"});
        }
        QCOMPARE(&w.Ai01Records().Table(), &tables.ai01());
        QCOMPARE(&w.Ai02Records().Table(), &tables.ai02());
        w.show();
        auto memo = Memo;
        Type(memo(w.PageControl1, 0), "紫薇に惹かれる");
        Type(memo(w.PageControl2, 19), "陀羅と合う");

        // Ai01 refused first: nothing of Ai02 written yet, the window stays.
        Type(memo(w.PageControl1, 1), "😀");
        QTest::mouseClick(w.closebtn, Qt::LeftButton);
        QVERIFY(w.isVisible());
        QCOMPARE(fx.sink.messages.size(), 1);
        QVERIFY2(fx.sink.Last().contains("Ai01.DB"), qPrintable(fx.sink.Last()));
        QCOMPARE(Stored(fx.Folder(), TableId::Ai02, 0, "陀羅星"), QStringLiteral("元の文"));

        Type(memo(w.PageControl1, 1), "天機に惹かれる");
        QTest::mouseClick(w.closebtn, Qt::LeftButton);
        QVERIFY(w.isHidden());
        QCOMPARE(Stored(fx.Folder(), TableId::Ai01, 0, "紫薇星"), QStringLiteral("紫薇に惹かれる"));
        QCOMPARE(Stored(fx.Folder(), TableId::Ai01, 0, "天機星"), QStringLiteral("天機に惹かれる"));
        QCOMPARE(Stored(fx.Folder(), TableId::Ai02, 0, "陀羅星"), QStringLiteral("陀羅と合う"));
        SaveShot(&w, "ai_db");
    }

    void emptyPartnerTableGetsARecordToEdit() {
        ReadingFixture fx;
        ReadingTables& tables = fx.Open();
        TAiDBfrm w(tables);
        QCOMPARE(tables.ai01().RecordCount(), 1);
        QVERIFY(w.Ai01Records().IsEditing());
        Type(Memo(w.PageControl1, 2), "太陽の文");
        w.closebtnClick();
        QCOMPARE(Stored(fx.Folder(), TableId::Ai01, 0, "太陽星"), QStringLiteral("太陽の文"));
        QVERIFY2(fx.sink.messages.isEmpty(), qPrintable(fx.sink.messages.join('\n')));
    }

    void tablesOpenedAfterTheWindows() {
        ReadingFixture fx;
        fx.WriteSeed("KANTEI.txt", kKantei);
        fx.WriteSeed("KYU12.txt", kKyu12);
        fx.WriteSeed("hosiImi.txt", ReadingFixture::OneRecord({{"紫薇星", "紫薇の運"}}));
        fx.Open();  // writes the remaining seeds and makes the files
        ReadingTables later(fx.sink);
        Tdbenvfrm w(later);
        TkounDBfrm k(later);
        QCOMPARE(w.DBGrid1->model()->columnCount(), 0);
        later.Open(fx.Folder(), {fx.SeedFolder()});
        QCOMPARE(w.DBGrid1->model()->columnCount(), 25);
        QCOMPARE(w.DBGrid3->model()->rowCount(), 3);
        QCOMPARE(w.DBMemo1->toPlainText(), QStringLiteral("父母宮の内容"));
        QCOMPARE(w.KanteiMemo("紫薇星1")->toPlainText(), QStringLiteral("父母宮の紫薇"));
        QCOMPARE(Memo(k.PageControl1, 0)->toPlainText(), QStringLiteral("紫薇の運"));
        QVERIFY(w.CaptionDBNavi2->Button(nbNext)->isEnabled());
    }

    void closingOnlyHides() {
        ReadingFixture fx;
        ReadingTables& tables = fx.Open();
        QPointer<QWidget> windows[] = {new Tdbenvfrm(tables), new TkounDBfrm(tables), new TAiDBfrm(tables)};
        for (QPointer<QWidget>& w : windows) {
            w->show();
            QVERIFY(w->close());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(w);
            QVERIFY(w->isHidden());
            delete w;
        }
    }

    // With ZELVARA_SHOT_DIR set, the windows over the shipped seeds.
    void picturesWithShippedTexts() {
        if (qEnvironmentVariable("ZELVARA_SHOT_DIR").isEmpty()) QSKIP("ZELVARA_SHOT_DIR not set");
        ReadingFixture fx;
        QDirIterator it(QStringLiteral(ZELVARA_SEED_DIR), {"*.txt"});
        while (it.hasNext()) {
            it.next();
            QFile::copy(it.filePath(), QDir(fx.SeedFolder()).filePath(it.fileName()));
        }
        ReadingTables& tables = fx.Open();
        Tdbenvfrm w(tables);
        SaveShot(&w, "shipped_dbenv_palaces");
        w.PageControl1->setCurrentIndex(1);
        SaveShot(&w, "shipped_dbenv_kantei");
        TkounDBfrm k(tables);
        SaveShot(&k, "shipped_koun_db");
        TAiDBfrm a(tables);
        SaveShot(&a, "shipped_ai_db");
    }
    // Closed by the title bar (close()) or hidden, each editor saves what was
    // typed; a refused save keeps the window open with the text and the
    // message names the table.
    void closingSavesTheEdits_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("table");
        QTest::addColumn<QString>("field");
        QTest::newRow("Tdbenvfrm KANTEI") << "Tdbenvfrm" << int(TableId::Kantei) << "紫薇星1";
        QTest::newRow("Tdbenvfrm KYU12") << "Tdbenvfrm" << int(TableId::Kyu12) << "内容";
        QTest::newRow("TkounDBfrm") << "TkounDBfrm" << int(TableId::HosiImi) << "駅馬星";
        QTest::newRow("TAiDBfrm Ai01") << "TAiDBfrm" << int(TableId::Ai01) << "天機星";
        QTest::newRow("TAiDBfrm Ai02") << "TAiDBfrm" << int(TableId::Ai02) << "陀羅星";
    }
    void closingSavesTheEdits() {
        QFETCH(QString, window);
        QFETCH(int, table);
        QFETCH(QString, field);
        const TableId id = TableId(table);
        ReadingFixture fx;
        fx.WriteSeed("KANTEI.txt", kKantei);
        fx.WriteSeed("KYU12.txt", kKyu12);
        fx.WriteSeed("hosiImi.txt", ReadingFixture::OneRecord({{"駅馬星", "元の駅馬の文"}}));
        ReadingTables& tables = fx.Open();
        std::unique_ptr<QWidget> w;
        if (window == "Tdbenvfrm")
            w = std::make_unique<Tdbenvfrm>(tables);
        else if (window == "TkounDBfrm")
            w = std::make_unique<TkounDBfrm>(tables);
        else
            w = std::make_unique<TAiDBfrm>(tables);
        QPlainTextEdit* memo = nullptr;
        int row = -1;
        for (RecordNavigator* records : w->findChildren<RecordNavigator*>()) {
            if (&records->Table() != &tables.Table(id)) continue;
            row = records->CurrentRow();
            for (QPlainTextEdit* m : w->findChildren<QPlainTextEdit*>(field))
                if (records->Mapper()->mappedSection(m) >= 0) memo = m;
        }
        QVERIFY(memo);

        w->show();
        Type(memo, "閉じる前に書いた文");
        QVERIFY(w->close());
        QVERIFY(w->isHidden());
        QCOMPARE(Stored(fx.Folder(), id, row, field), QStringLiteral("閉じる前に書いた文"));

        w->show();
        Type(memo, "隠す前に書いた文");
        w->hide();
        QCOMPARE(Stored(fx.Folder(), id, row, field), QStringLiteral("隠す前に書いた文"));
        QVERIFY2(fx.sink.messages.isEmpty(), qPrintable(fx.sink.messages.join('\n')));

        w->show();
        Type(memo, "保存できない😀");
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QCOMPARE(memo->toPlainText(), QStringLiteral("保存できない😀"));
        QCOMPARE(fx.sink.messages.size(), 1);
        QVERIFY2(fx.sink.Last().contains(tables.Table(id).FileName()) && fx.sink.Last().contains(field),
                 qPrintable(fx.sink.Last()));
        QCOMPARE(Stored(fx.Folder(), id, row, field), QStringLiteral("隠す前に書いた文"));

        Type(memo, "直した文");
        QVERIFY(w->close());
        QCOMPARE(Stored(fx.Folder(), id, row, field), QStringLiteral("直した文"));
        QCOMPARE(fx.sink.messages.size(), 1);
    }
};

QTEST_MAIN(TestReadingEditors)
#include "tst_reading_editors.moc"
