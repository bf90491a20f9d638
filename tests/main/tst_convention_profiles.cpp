// Convention profiles in the main window: the settings' default and the
// client's profile cast the chart, the chart page names a profile other than
// 標準 in one line (and nothing changes with 標準), a time the person chose no
// correction for is corrected by the profile, and the consultation record
// keeps the profile and casts an entry's chart by it again.
#include "main/chart_page.h"
#include "main/consultation_page.h"
#include "main/hour_window.h"
#include "main/main_window.h"
#include "register/birth_time_table.h"
#include "store/convention_profiles.h"
#include "tests/main/main_window_fixture.h"
#include "tests/recording_sink.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace zelvara;

namespace {

// A profile as the settings file writes it.
zelvara::ConventionProfile Profile(const char* name, std::string_view switches) {
    return {name, *zelvara::ParseConventionsText(switches)};
}

// Born on 1 March 1990: still the solar-term month 寅 (啓蟄 is on the 6th),
// but the 2nd lunar month (卯), so the life palace moves with palace-month.
const testing::Person kBorn{QStringLiteral("節月試験"), QStringLiteral("1990"),        QStringLiteral("3"),
                            QStringLiteral("1"),        QStringLiteral("07:00-09:00"), QStringLiteral("女")};

}  // namespace

class TestConventionProfiles : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> home_;
    RecordingSink sink_;
    std::unique_ptr<TMainForm1> w_;

    SettingsFile Settings() const { return SettingsFile(home_->filePath(QStringLiteral("zelv.ini"))); }
    void Start() {
        w_ = testing::StartMainWindow(sink_, testing::QuietStartup(home_->path()), [](const QString&) { return true; });
        w_->resize(792, 571);
        w_->show();
        testing::AddPeople(w_->Persons(), {kBorn});
        sink_.Clear();
    }
    void Cast() {
        testing::TypeAndCast(*w_, kBorn);
        QVERIFY(w_->Session().HasChart());
    }
    QLabel* Line() { return w_->findChild<QLabel*>(QStringLiteral("conventionsLine")); }
    QImage ChartPageImage() { return w_->findChild<ChartPage*>()->grab().toImage(); }
    void SetDefault(const QString& name) {
        SettingsFile settings = Settings();
        QVERIFY(SaveDefaultConventionProfile(settings, name));
    }

private slots:
    void init() {
        home_ = testing::ProgramFolder();
        sink_.Clear();
        SettingsFile settings = Settings();
        QVERIFY(SaveConventionProfile(settings, Profile("旧暦月派", "palace-month=lunar")));
    }
    void cleanup() { w_.reset(); }

    // A default other than 標準 casts by its switches and the page names it;
    // back on 標準 the chart and the page are exactly as before.
    void defaultProfileCastsAndShowsTheLine() {
        Start();
        Cast();
        const Tmandata standard = w_->Session().Man();
        const QImage standardPage = ChartPageImage();
        QVERIFY(!Line()->isVisible());
        QCOMPARE(w_->findChild<QLabel*>(QStringLiteral("asReadCaption"))->geometry(), QRect(0, 500, 564, 40));

        SetDefault(QStringLiteral("旧暦月派"));
        Cast();
        QVERIFY(sink_.messages.isEmpty());
        QCOMPARE(w_->Session().Chart().profile.name, std::string("旧暦月派"));
        QVERIFY(w_->Session().Man().palaceBranch != standard.palaceBranch ||
                w_->Session().Man().mainStar != standard.mainStar);
        QVERIFY(Line()->isVisible());
        QVERIFY2(Line()->toolTip().startsWith(QStringLiteral("旧暦月派：命宮 旧暦月（閏月は前月）・年 立春")),
                 qPrintable(Line()->toolTip()));
        // Nothing covers the line (the layers' drawing over the page keeps to the boxes), and it is not cut without its tooltip.
        for (QWidget* other : w_->findChild<ChartPage*>()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (other != Line() && other->isVisible() && !other->testAttribute(Qt::WA_TransparentForMouseEvents))
                QVERIFY2(!other->geometry().intersects(Line()->geometry()), qPrintable(other->objectName()));
        QVERIFY(Line()->fontMetrics().horizontalAdvance(Line()->text()) <= Line()->width());
        testing::Snapshot(w_.get(), QStringLiteral("conventions-line"));

        SetDefault(QStringLiteral("標準"));
        Cast();
        QCOMPARE(w_->Session().Man().palaceBranch, standard.palaceBranch);
        QVERIFY(!Line()->isVisible());
        QCOMPARE(ChartPageImage(), standardPage);
    }

    // The client's profile wins over the default; a name the settings lack
    // is said at the cast, which goes by the default.
    void clientProfileAndAnUnknownName() {
        Start();
        const qint64 person = w_->Persons().Record(w_->Persons().CurrentRow()).rowId;
        const auto choose = [&](const QString& name) { QVERIFY(w_->Persons().WriteProfile(person, name).Ok()); };
        choose(QStringLiteral("旧暦月派"));
        Cast();
        QVERIFY(sink_.messages.isEmpty());
        QCOMPARE(w_->Session().Chart().profile.name, std::string("旧暦月派"));

        choose(QStringLiteral("消えた派"));
        Cast();
        QCOMPARE(sink_.messages.size(), 1);
        QVERIFY2(sink_.Last().startsWith(
                     QStringLiteral("この人物の流派「消えた派」を使えないため、既定の流派「標準」で作成します。")),
                 qPrintable(sink_.Last()));
        QCOMPARE(w_->Session().Chart().profile.name, std::string("標準"));
        QVERIFY(!Line()->isVisible());
    }

    // A time the person chose no correction for: the profile's correction
    // when it is not 標準, else the settings'; the person's own wins over both.
    void timeCorrectionPrecedence() {
        Start();
        SettingsFile settings = Settings();
        QVERIFY(SaveConventionProfile(settings, Profile("真太陽時派", "correction=true")));
        const qint64 person = w_->Persons().Record(w_->Persons().CurrentRow()).rowId;
        const auto store = [&](std::optional<TimeCorrection> own) {
            QCOMPARE(
                w_->BirthTimes().Table()->Write(person, BirthTimeEntry{QStringLiteral("08:10"), {}, 135.5, {}, own}),
                QString());
        };
        store(std::nullopt);
        Cast();
        QVERIFY(!w_->Session().Chart().exact->longitudeMinutes);  // settings: none
        SetDefault(QStringLiteral("真太陽時派"));
        Cast();
        QVERIFY(w_->Session().Chart().exact->equationMinutes);  // the profile's: true
        store(TimeCorrection::kMean);
        Cast();
        QVERIFY(w_->Session().Chart().exact->longitudeMinutes);  // the person's own: mean
        QVERIFY(!w_->Session().Chart().exact->equationMinutes);
    }

    // 「この命盤で記録」 keeps the chart's profile; 「この記録の命盤を開く」 casts
    // by it again, and by 標準 (said, and in the caption) once it is gone.
    void consultationKeepsAndReplaysTheProfile() {
        SetDefault(QStringLiteral("旧暦月派"));
        Start();
        Cast();
        const Tmandata asRead = w_->Session().Man();
        w_->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentWidget(&w_->Consultations());
        w_->findChild<QPushButton*>(QStringLiteral("captureChartBtn"))->click();
        QCOMPARE(w_->Consultations().Edited().profile, QStringLiteral("旧暦月派"));
        w_->findChild<QPushButton*>(QStringLiteral("saveEntryBtn"))->click();
        const qint64 id = w_->Consultations().Edited().id;
        QVERIFY(id > 0);

        SetDefault(QStringLiteral("標準"));
        Cast();
        QVERIFY(w_->Session().Man().palaceBranch != asRead.palaceBranch ||
                w_->Session().Man().mainStar != asRead.mainStar);
        w_->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentWidget(&w_->Consultations());
        QVERIFY(w_->Consultations().SelectEntry(id));
        sink_.Clear();
        w_->findChild<QPushButton*>(QStringLiteral("reopenChartBtn"))->click();
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('|')));
        QCOMPARE(w_->Session().Man().palaceBranch, asRead.palaceBranch);
        QCOMPARE(w_->Session().Man().mainStar, asRead.mainStar);
        QVERIFY(Line()->isVisible());
        QLabel* caption = w_->findChild<QLabel*>(QStringLiteral("asReadCaption"));
        QVERIFY(caption->toolTip().endsWith(QStringLiteral("プロフィール 旧暦月派")));
        // Under the line, one line of the caption, cut with its whole text in the tooltip.
        QVERIFY(!caption->geometry().intersects(Line()->geometry()));
        QVERIFY(caption->geometry().bottom() < w_->findChild<ChartPage*>()->height());
        QVERIFY(caption->contentsRect().height() >= caption->fontMetrics().height());
        QVERIFY(caption->fontMetrics().horizontalAdvance(caption->text()) <= caption->contentsRect().width());
        testing::Snapshot(w_.get(), QStringLiteral("conventions-line-as-read"));

        SettingsFile settings = Settings();
        QVERIFY(DeleteConventionProfile(settings, QStringLiteral("旧暦月派")));
        w_->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentWidget(&w_->Consultations());
        QVERIFY(w_->Consultations().SelectEntry(id));
        sink_.Clear();
        w_->findChild<QPushButton*>(QStringLiteral("reopenChartBtn"))->click();
        QCOMPARE(sink_.messages.size(), 1);
        QVERIFY2(sink_.Last().startsWith(
                     QStringLiteral("この記録の流派「旧暦月派」は設定にないため、「標準」で命盤を開きます。")),
                 qPrintable(sink_.Last()));
        QCOMPARE(w_->Session().Chart().profile.name, std::string("標準"));
        QVERIFY(caption->text().endsWith(QStringLiteral("プロフィール 標準（記録は「旧暦月派」）")));
        QVERIFY(!Line()->isVisible());
        QCOMPARE(caption->geometry(), QRect(0, 500, 564, 40));
    }

    // An unknown hour: the candidates of the twelve periods are cast by the
    // profile too.
    void hourCandidatesCastByTheProfile() {
        Start();
        const auto candidates = [this] {
            QTimer::singleShot(0, this, [] {
                if (auto* hours = qobject_cast<Ttimefrm*>(QApplication::activeModalWidget())) hours->reject();
            });
            testing::TypeAndCast(
                *w_, {kBorn.name, kBorn.year, kBorn.month, kBorn.day, QStringLiteral("不明の場合"), kBorn.sex});
            return w_->HourCandidates();
        };
        const HourGrid standard = candidates();
        SetDefault(QStringLiteral("旧暦月派"));
        QVERIFY(candidates() != standard);
        SetDefault(QStringLiteral("標準"));
        QVERIFY(candidates() == standard);
    }

    // A time read between 23:00 and 24:00 comes back by the profile's
    // late-hour rule, as it was cast.
    void lateHourReplayedAsCast() {
        SettingsFile settings = Settings();
        QVERIFY(SaveConventionProfile(settings, Profile("翌日派", "late-hour=next-day")));
        Start();
        const qint64 person = w_->Persons().Record(w_->Persons().CurrentRow()).rowId;
        QCOMPARE(w_->BirthTimes().Table()->Write(person, BirthTimeEntry{QStringLiteral("23:30"), {}, {}, {}, {}}),
                 QString());
        Cast();
        const int sameDay = w_->Session().Man().stems.day;
        SetDefault(QStringLiteral("翌日派"));
        Cast();
        const Tmandata asRead = w_->Session().Man();
        QVERIFY(asRead.stems.day != sameDay);
        w_->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentWidget(&w_->Consultations());
        w_->findChild<QPushButton*>(QStringLiteral("captureChartBtn"))->click();
        w_->findChild<QPushButton*>(QStringLiteral("saveEntryBtn"))->click();
        const qint64 id = w_->Consultations().Edited().id;
        QVERIFY(id > 0);
        QVERIFY(w_->Consultations().SelectEntry(id));
        w_->findChild<QPushButton*>(QStringLiteral("reopenChartBtn"))->click();
        QCOMPARE(w_->Session().Man().stems.day, asRead.stems.day);
        QCOMPARE(w_->Session().Man().lunarDay, asRead.lunarDay);
    }
};

QTEST_MAIN(TestConventionProfiles)
#include "tst_convention_profiles.moc"
