// The chart request from the window: the order of the checks, the hour
// window, the chart page, the luck tabs and the write-back into the register,
// compared with zelvara-cli for the same births.
#include "common/qstring_utf8.h"
#include "main/chart_layer_view.h"
#include "main/hour_window.h"
#include "main/main_window.h"
#include "main/tab_button_row.h"
#include "register/person_fields.h"
#include "tests/main/main_window_fixture.h"
#include "tests/recording_sink.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace zelvara;
using zelvara::testing::Person;
using zelvara::testing::Snapshot;

class TestChartRequest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> home_;
    RecordingSink sink_;
    std::unique_ptr<TMainForm1> w_;

    // A program folder with the shipped calendar data and bitmaps, and a main
    // window started on it holding the given people.
    TMainForm1& Start(const QList<Person>& people) {
        home_ = testing::ProgramFolder();
        w_ = testing::StartMainWindow(sink_, testing::QuietStartup(home_->path()));
        testing::AddPeople(w_->Persons(), people);
        sink_ = RecordingSink();
        return *w_;
    }
    template <typename T>
    T* Find(const char* name) {
        return w_->findChild<T*>(QString::fromLatin1(name));
    }
    QTabWidget* Pages() { return Find<QTabWidget>("PageControl1"); }
    QString Current(int field) { return w_->Persons().Value(field); }
    void Click() { Find<QPushButton>("btnOk")->click(); }

    // Runs fn on the hour window once it is shown modally.
    void WhenHourWindowShows(std::function<void(Ttimefrm&)> fn) {
        QTimer::singleShot(0, this, [fn] {
            auto* dialog = qobject_cast<Ttimefrm*>(QApplication::activeModalWidget());
            QVERIFY2(dialog, "the hour window is not shown");
            fn(*dialog);
        });
    }

    QJsonObject CliChart(const QStringList& args) {
        QProcess cli;
        cli.start(QStringLiteral(ZELVARA_CLI), QStringList{"chart", "--json", "--home", home_->path()} + args);
        if (!cli.waitForFinished(10000)) return {};
        return QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
    }

private slots:
    void init() { sink_ = RecordingSink(); }
    void cleanup() { w_.reset(); }

    void checksInTheirOrder_data() {
        QTest::addColumn<QString>("sex");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("message");
        QTest::newRow("sex before an empty year") << ""
                                                  << ""
                                                  << "3"
                                                  << "7"
                                                  << "性別を指定してください。";
        QTest::newRow("year") << "男"
                              << ""
                              << "3"
                              << "7"
                              << "年が指定されていません。";
        QTest::newRow("T9 is 1920") << "男"
                                    << "T9"
                                    << "3"
                                    << "7"
                                    << "万年暦が１９２１年より小さい年には対応していませんので診断できません。（鑑定で"
                                       "きるのは 1921年1月6日〜2100年12月31日 に生まれた方です）";
        QTest::newRow("1920") << "女"
                              << "1920"
                              << ""
                              << ""
                              << "万年暦が１９２１年より小さい年には対応していませんので診断できません。（鑑定できるの"
                                 "は 1921年1月6日〜2100年12月31日 に生まれた方です）";
        QTest::newRow("M45 is 1912") << "女"
                                     << "M45"
                                     << "3"
                                     << "7"
                                     << "万年暦が１９２１年より小さい年には対応していませんので診断できません。（鑑定で"
                                        "きるのは 1921年1月6日〜2100年12月31日 に生まれた方です）";
        QTest::newRow("2102") << "女"
                              << "2102"
                              << "3"
                              << "7"
                              << "万年暦が２１００年より大きい年には対応していませんので診断できません。（鑑定できるの"
                                 "は 1921年1月6日〜2100年12月31日 に生まれた方です）";
        QTest::newRow("R0") << "女"
                            << "R0"
                            << "3"
                            << "7"
                            << "生まれた年「R0」は令和の年としてありません。令和は R1（2019年）からです。";
        QTest::newRow("month") << "男"
                               << "1965"
                               << ""
                               << "7"
                               << "月が指定されていません。";
        QTest::newRow("day") << "男"
                             << "1965"
                             << "3"
                             << ""
                             << "日が指定されていません。";
        QTest::newRow("1921 passes the year bound")
            << "男"
            << "1921"
            << "1"
            << "5"
            << "鑑定可能範囲（1921年1月6日〜2100年12月31日）を越えているので鑑定はできません。";
        QTest::newRow("not a year")
            << "男"
            << "S4x"
            << "3"
            << "7"
            << "生まれた年「S4x」を年として読めません。西暦の数字（例 1965）か、年号の頭文字（M 明治・T 大正・S "
               "昭和・H 平成・R 令和）と年（例 S40）で入力して下さい。";
        QTest::newRow("30 February") << "男"
                                     << "1965"
                                     << "2"
                                     << "30"
                                     << "1965年2月には30日がありません。日付を確かめて下さい。";
    }
    void checksInTheirOrder() {
        QFETCH(QString, sex);
        QFETCH(QString, year);
        QFETCH(QString, month);
        QFETCH(QString, day);
        QFETCH(QString, message);
        Start({{"試験", year, month, day, "05:00-07:00", sex}});
        Click();
        QCOMPARE(sink_.messages, QStringList{message});
        QVERIFY(!w_->Session().HasChart());
        QCOMPARE(Pages()->currentIndex(), 0);
        QCOMPARE(Current(kFieldYear), year);  // a stopped request writes nothing
        QCOMPARE(Current(PalaceFieldIndex(2)), QString());
    }

    void eraYearsAreConvertedAndStored_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("western");
        QTest::newRow("s40") << "s40"
                             << "1965";
        QTest::newRow("S40") << "S40"
                             << "1965";
        QTest::newRow("1965") << "1965"
                              << "1965";
        QTest::newRow("H1") << "H1"
                            << "1989";
        QTest::newRow("full-width S40") << "Ｓ４０"
                                        << "1965";
        QTest::newRow("blank and full-width") << "　１９６５ "
                                              << "1965";
    }
    void eraYearsAreConvertedAndStored() {
        QFETCH(QString, typed);
        QFETCH(QString, western);
        Start({{"試験", "1900", "3", "7", "03:00-05:00", "女"}});
        Find<QLineEdit>("inYy")->setText(typed);  // as typed or committed by an input method
        Click();
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.Last()));
        QCOMPARE(Find<QLineEdit>("inYy")->text(), western);
        QCOMPARE(Current(kFieldYear), western);
        QCOMPARE(Find<QLabel>("lblBirth")->text(), western + "/3/7");
        QCOMPARE(Pages()->currentWidget()->objectName(), QStringLiteral("syuseizu"));
    }

    // A birth after today shows no age (the counted age would be negative).
    void noAgeForABirthAfterToday() {
        Start({{"試験", "2099", "3", "7", "03:00-05:00", "女"}});
        Click();
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.Last()));
        QCOMPARE(Find<QLabel>("lblAge")->text(), QString());
        Start({{"試験", "1965", "3", "7", "03:00-05:00", "女"}});
        Click();
        QVERIFY2(Find<QLabel>("lblAge")->text().endsWith(QStringLiteral("才")),
                 qPrintable(Find<QLabel>("lblAge")->text()));
    }

    void writeBackFeedsTheFilter() {
        Start({{"甲", "1965", "3", "7", "03:00-05:00", "女"}, {"乙", "1959", "5", "7", "05:00-07:00", "男"}});
        Click();
        const Tmandata& man = w_->Context().man;
        for (int p = 1; p <= kPalaces; ++p) QCOMPARE(Current(PalaceFieldIndex(p)), Q(kStarShortNames[man.mainStar[p]]));
        const int life = man.mainStar[kLifePalace];
        // Every palace without a main star holds the empty text.
        bool sawEmpty = false;
        for (int p = 1; p <= kPalaces; ++p) sawEmpty |= man.mainStar[p] == 0;
        QVERIFY(sawEmpty);
        // The written value survives a reopen and the filter finds the person.
        w_->Persons().Close();
        QVERIFY(w_->Persons().Open(home_->path()));
        QVERIFY(w_->Persons().SetFilter(FieldName(PalaceFieldIndex(kLifePalace)), Q(kStarShortNames[life])));
        QVERIFY(w_->Persons().RecordCount() >= 1);
        QCOMPARE(w_->Persons().Value(kFieldName), QStringLiteral("甲"));
    }

    void unknownHourIsChosenInTheHourWindow() {
        Start({{"丙", "1975", "12", "24", "不明の場合", "女"}});
        WhenHourWindowShows([this](Ttimefrm& window) {
            QTableWidget* grid = window.Grid();
            QCOMPARE(grid->item(0, 4)->text(), QStringLiteral("05:00-07:00"));
            QCOMPARE(grid->item(2, 0)->text(), QStringLiteral("命宮"));
            QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("父母宮"));
            // The grid holds the main stars the engine found for each period.
            const HourGrid& candidates = w_->HourCandidates();
            for (int p = 1; p <= kPalaces; ++p)
                for (int h = 0; h < kHours; ++h)
                    QCOMPARE(grid->item(p, h + 1)->text(),
                             candidates[p][h] ? Q(kStarLongNames[candidates[p][h]]) : QString());
            Snapshot(&window, "hour-window");
            // Every hour caption of the top row ends inside its cell: the
            // cell's right-hand edge holds nothing but its green ground.
            const QImage top = grid->grab().toImage();
            const qreal dpr = top.devicePixelRatio();  // pixels of the image per unit of the window
            for (int c = 1; c < 13; ++c) {
                const QRect cell = grid->visualRect(grid->model()->index(0, c));
                for (int x = int((cell.right() - 3) * dpr); x < int(cell.right() * dpr) - 1; ++x)
                    for (int y = int((cell.top() + 2) * dpr); y < int((cell.bottom() - 1) * dpr); ++y)
                        QVERIFY2(top.pixelColor(x, y) == QColor(0, 255, 0),
                                 qPrintable(QStringLiteral("%1 is cut at x=%2").arg(grid->item(0, c)->text()).arg(x)));
            }
            window.CellClicked(3, 4);  // the 05:00-07:00 column
            QCOMPARE(window.SelectedHour(), 3);
            window.findChild<QPushButton*>("BitBtn1")->click();
        });
        Click();
        QCOMPARE(sink_.messages, QStringList{"時刻が不明または指定されていませんのでこれから推測していきます。"});
        QVERIFY(w_->Session().HasChart());
        QCOMPARE(w_->Context().man.hourIndex, 3);
        QCOMPARE(Current(kFieldTime), QStringLiteral("05:00-07:00"));
        QCOMPARE(Find<QComboBox>("inTime")->currentText(), QStringLiteral("05:00-07:00"));
    }

    void hourWindowClosedWithoutChoiceCancels() {
        Start({{"丁", "S50", "12", "24", "", "男"}});
        WhenHourWindowShows([](Ttimefrm& window) { window.reject(); });
        Click();
        QVERIFY(!w_->Session().HasChart());
        QCOMPARE(Pages()->currentIndex(), 0);
        QCOMPARE(Current(kFieldTime), QString());
        QCOMPARE(Current(kFieldYear), QStringLiteral("S50"));
        QCOMPARE(Current(PalaceFieldIndex(2)), QString());
    }

    void hourGridClicksAndHints() {
        Start({});
        Ttimefrm window(w_->Texts());
        HourGrid grid{};
        grid[2][0] = 1;
        grid[3][5] = 2;
        window.Fill(grid);
        QCOMPARE(window.SelectedHour(), 0);
        window.CellClicked(3, 6);
        QCOMPARE(window.SelectedHour(), 5);
        QCOMPARE(window.Grid()->toolTip(), Q(w_->Texts().hosiText[2]));
        window.CellClicked(4, 8);  // an empty cell keeps the hint
        QCOMPARE(window.SelectedHour(), 7);
        QCOMPARE(window.Grid()->toolTip(), Q(w_->Texts().hosiText[2]));
    }

    // The page shows what zelvara-cli prints for the same birth.
    void displayMatchesTheCommandLine_data() {
        QTest::addColumn<QString>("sex");
        QTest::addColumn<QString>("date");
        QTest::addColumn<int>("hour");
        QTest::newRow("1959 man") << "男"
                                  << "1959/5/7" << 3;
        QTest::newRow("1975 woman") << "女"
                                    << "1975/12/24" << 0;
        QTest::newRow("2024 woman") << "女"
                                    << "2024/2/10" << 6;
        QTest::newRow("1921 man") << "男"
                                  << "1921/1/6" << 5;
    }
    void displayMatchesTheCommandLine() {
        QFETCH(QString, sex);
        QFETCH(QString, date);
        QFETCH(int, hour);
        const QStringList d = date.split('/');
        Start({{"比較", d[0], d[1], d[2], Q(kHourPeriodTexts[hour]), sex}});
        Click();
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.Last()));
        const QJsonObject cli = CliChart({"--sex", sex, "--date", date, "--hour", Q(kHourPeriodTexts[hour])});
        QVERIFY(!cli.isEmpty());
        const Tmandata& man = w_->Context().man;
        const QJsonArray palaces = cli["palaceBranch"].toArray();
        const QJsonArray boxText = cli["boxText"].toArray();
        const QJsonArray luckAge = cli["luckAge"].toArray();
        const QJsonArray luckBranch = cli["luckBranch"].toArray();
        const QJsonArray strength = cli["palaceStrength"].toArray();
        const auto& boxes = w_->Boxes();
        for (int p = 1; p <= kPalaces; ++p) {
            const int b = palaces[p - 1].toInt();
            QCOMPARE(man.palaceBranch[p], b);
            QCOMPARE(boxes[b - 1].palace->text(), Q(kPalaceNames[p]));
            for (int r = 1; r <= kBoxSlots; ++r) {
                QCOMPARE(boxes[b - 1].stars[r - 1]->text(), boxText[p - 1].toArray()[r - 1].toString());
                QCOMPARE(QString::fromStdString(w_->BoxTexts()[p][r]), boxText[p - 1].toArray()[r - 1].toString());
            }
            QCOMPARE(w_->StrengthChart()->Strength()[p], strength[p - 1].toInt());
        }
        for (int k = 1; k <= 12; ++k)
            QCOMPARE(boxes[luckBranch[k - 1].toInt() - 1].age->text(), QString::number(luckAge[k - 1].toInt()) + "才");
        QCOMPARE(Find<QLabel>("lblRituun")->text(), QString::number(cli["firstLuckAge"].toInt()) + "年運");
        QCOMPARE(Find<QLabel>("lblDays")->text(), "節入まで" + QString::number(cli["daysToTerm"].toInt()) + "日");
        QCOMPARE(Find<QLabel>("kyureki")->text(),
                 QString("%1月%2日").arg(cli["lunarMonth"].toInt()).arg(cli["lunarDay"].toInt()));
        QCOMPARE(Find<QLabel>("sexlbl")->text(), sex == "男" ? QStringLiteral("男命") : QStringLiteral("女命"));
        Snapshot(w_.get(), "chart-" + date.replace('/', '-'));
    }

    void boxesColoursAndMarks() {
        Start({{"戊", "1959", "5", "7", "05:00-07:00", "男"}});
        Click();
        const Tmandata& man = w_->Context().man;
        const auto& boxes = w_->Boxes();
        // 命宮 in magenta, the others black.
        for (int p = 1; p <= kPalaces; ++p) {
            const QColor c = boxes[man.palaceBranch[p] - 1].palace->palette().color(QPalette::ButtonText);
            QCOMPARE(c, p == kLifePalace ? QColor(255, 0, 255) : QColor(Qt::black));
            QCOMPARE(boxes[man.palaceBranch[p] - 1].palace->toolTip(),
                     Q(w_->Texts().kyuText[p]) + QStringLiteral("\n\n") + FlyingHintTip());
        }
        // The 忌 star (己 year: 文曲) carries its mark and its grade's colours.
        const int star = man.transformStar[4];
        QLabel* found = nullptr;
        for (QLabel* l : boxes[man.starBranch[star] - 1].stars)
            if (l->text() == Q(kStarShortNames[star]) + "(忌)") found = l;
        QVERIFY(found);
        QCOMPARE(found->palette().color(QPalette::Window), BrightnessBackground(man.brightness[star]));
        QCOMPARE(found->toolTip(), Q(w_->Texts().hosiText[star]));
        QCOMPARE(Find<QLabel>("lblsingu")->text(), "身宮：" + Q(kBranchNames[man.bodyPalace]));
    }

    void luckTabsNameTheirRulers() {
        Start({{"己", "1959", "5", "7", "05:00-07:00", "男"}});
        Find<QPlainTextEdit>("KounMemo")->setPlainText("前の鑑定");
        Click();
        const Tmandata& man = w_->Context().man;
        auto* tabs = Find<TabButtonRow>("daiuntab");
        QCOMPARE(tabs->count(), 12);
        QCOMPARE(tabs->currentIndex(), -1);  // a new chart leaves no period picked
        for (int i = 1; i <= 12; ++i) {
            const QString ruler = QString::fromStdString(man.daiunStarName[i]);
            QCOMPARE(tabs->tabText(i - 1),
                     QString("%1-%2才(%3)").arg(man.luckAge[i]).arg(man.luckAge[i] + 9).arg(ruler));
            const int s = man.luckRulingStar[man.luckPalace[i]];
            if (s)
                QCOMPARE(ruler, Q(kStarLongNames[s]));
            else
                QVERIFY(ruler == "空白" || ruler.endsWith("星"));
        }
        QVERIFY(Find<QPlainTextEdit>("KounMemo")->toPlainText().isEmpty());
    }

    // The window keeps its 792 × 571 size: no page asks for more room.
    void pagesFitTheWindow() {
        Start({{"大", "1959", "5", "7", "05:00-07:00", "男"}});
        w_->show();
        QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
        Click();
        QString report;
        for (int i = 0; i < Pages()->count(); ++i) {
            const QSize need = Pages()->widget(i)->minimumSizeHint();
            report += QString(" %1:%2x%3").arg(Pages()->tabText(i)).arg(need.width()).arg(need.height());
        }
        QVERIFY2(w_->size() == QSize(792, 571),
                 qPrintable(QString("window %1x%2, pages%3").arg(w_->width()).arg(w_->height()).arg(report)));
        for (int i = 0; i < Pages()->count(); ++i) {
            Pages()->setCurrentIndex(i);
            Snapshot(w_.get(), QString("page-%1").arg(i + 1));
        }
    }

    // Click to chart page, and the hour inference (12 charts and the grid).
    void speed() {
        Start({{"速度", "1965", "3", "7", "03:00-05:00", "女"}});
        Click();  // loads the glyphs and calendar years once
        QElapsedTimer t;
        const int runs = 20;
        t.start();
        for (int i = 0; i < runs; ++i) {
            Pages()->setCurrentIndex(0);
            Click();
        }
        const double chartMs = double(t.nsecsElapsed()) / 1e6 / runs;
        Ttimefrm window(w_->Texts());
        const ChartRequest request{.sexCode = 'F', .year = 1965, .month = 3, .day = 7};
        t.restart();
        for (int i = 0; i < runs; ++i) window.Fill(*CastAllHours(w_->Context(), request));
        const double inferMs = double(t.nsecsElapsed()) / 1e6 / runs;
        qInfo("click to chart page: %.2f ms; hour inference (12 charts + grid): %.2f ms", chartMs, inferMs);
        QVERIFY2(chartMs < 30, qPrintable(QString::number(chartMs)));
        QVERIFY2(inferMs < 50, qPrintable(QString::number(inferMs)));
    }
};

QTEST_MAIN(TestChartRequest)
#include "tst_chart_request.moc"
