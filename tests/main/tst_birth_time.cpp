// The exact birth time on the desktop: the dialog's checks and what it
// stores, the correction chosen in the settings window, the hour box and its
// mark, and the chart the request casts for the corrected moment; a person
// without a time charts exactly as before.
#include "main/birth_time_dialog.h"
#include "main/data_input_page.h"
#include "main/help_window.h"
#include "main/main_window.h"
#include "print/print_module.h"
#include "register/person_fields.h"
#include "tests/main/main_window_fixture.h"
#include "tests/recording_sink.h"
#include "windows/settings_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;
using zelvara::testing::Person;

namespace {

// What a request wrote into the person's record: the year, the hour and the
// twelve main stars.
QStringList RecordFields(const PersonTable& t) {
    QStringList fields{t.Value(kFieldYear), t.Value(kFieldTime)};
    for (int p = 1; p <= kPalaces; ++p) fields << t.Value(PalaceFieldIndex(p));
    return fields;
}

}  // namespace

class TestBirthTime : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> home_;
    RecordingSink sink_;
    std::unique_ptr<TMainForm1> w_;
    QStringList asked_;
    bool answer_ = false;

    TMainForm1& Start(const QList<Person>& people) {
        w_.reset();
        home_ = testing::ProgramFolder({"*.bmp", "*.eto", "birthplaces.txt", "gazetteer.txt"});
        Launch();
        testing::AddPeople(w_->Persons(), people);
        sink_ = RecordingSink();
        return *w_;
    }
    // The program started (again) on the home folder as it is.
    void Launch() {
        w_.reset();
        w_ = testing::StartMainWindow(sink_, testing::QuietStartup(home_->path()), [this](const QString& text) {
            asked_ << text;
            return answer_;
        });
    }
    template <typename T>
    T* Find(const char* name) {
        return w_->findChild<T*>(QString::fromLatin1(name));
    }
    template <typename T>
    static T* In(QWidget& w, const char* name) {
        return w.findChild<T*>(QString::fromLatin1(name));
    }

    void SetCorrection(const char* word) {
        QVERIFY(SettingsFile(w_->SettingsPath())
                    .Write(kTimeCorrectionSection, kTimeCorrectionKey, QString::fromLatin1(word)));
    }
    // Stores the current person's time through the dialog: a place from the
    // list, or a typed longitude when place is empty.
    void EnterTime(const QString& time, const QString& place, const QString& longitude = {}) {
        w_->DataPage().SetBirthTimeDialogHook([&](BirthTimeDialog& d) {
            In<QLineEdit>(d, "timeedit")->setText(time);
            auto* places = In<QComboBox>(d, "placebox");
            places->setCurrentIndex(place.isEmpty() ? 0 : places->findText(place));
            if (place.isEmpty()) In<QLineEdit>(d, "longitudeedit")->setText(longitude);
            In<QPushButton>(d, "savebtn")->click();
        });
        Find<QPushButton>("birthTimeBtn")->click();
    }
    void Cast() {
        Find<QPushButton>("btnOk")->click();
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('\n')));
        QVERIFY(w_->Session().HasChart());
    }
    std::array<int, kPalaces + 1> MainStars() const { return w_->Context().man.mainStar; }
    QString Hour() { return Find<QComboBox>("inTime")->currentText(); }
    std::optional<BirthTimeEntry> Stored() { return w_->BirthTimes().CurrentEntry(); }

private slots:
    void init() {
        asked_.clear();
        answer_ = false;
    }
    void cleanup() { w_.reset(); }

    // A refused entry is explained and nothing is stored; a longitude outside
    // Japan is stored only when the user confirms it.
    void dialogRefusesBadEntries_data() {
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("longitude");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("message");  // the start of the message; empty: none
        QTest::addColumn<bool>("stored");
        QTest::newRow("hour 24") << "24:00"
                                 << "" << false << "出生時刻は HH:MM の形" << false;
        QTest::newRow("no colon") << "1030"
                                  << "" << false << "出生時刻は HH:MM の形" << false;
        QTest::newRow("empty time") << ""
                                    << "141" << false << "出生時刻は HH:MM の形" << false;
        QTest::newRow("longitude not a number") << "10:30"
                                                << "東経141" << false << "東経は度で入力して下さい" << false;
        QTest::newRow("outside Japan, not confirmed") << "10:30"
                                                      << "100" << false << "" << false;
        QTest::newRow("outside Japan, confirmed") << "10:30"
                                                  << "100" << true << "" << true;
        QTest::newRow("full-width time") << "１０：３０"
                                         << "１４１．３５" << false << "" << true;
        QTest::newRow("no place: summer time only") << "10:30"
                                                    << "" << false << "" << true;
    }
    void dialogRefusesBadEntries() {
        QFETCH(QString, time);
        QFETCH(QString, longitude);
        QFETCH(bool, answer);
        QFETCH(QString, message);
        QFETCH(bool, stored);
        Start({{"試験", "1980", "3", "15", "07:00-09:00", "男"}});
        answer_ = answer;
        EnterTime(time, {}, longitude);
        if (message.isEmpty())
            QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('\n')));
        else
            QVERIFY2(sink_.messages.size() == 1 && sink_.messages[0].startsWith(message),
                     qPrintable(sink_.messages.join('\n')));
        QCOMPARE(asked_.size(), longitude == "100" ? 1 : 0);
        QCOMPARE(Stored().has_value(), stored);
        QCOMPARE(Find<QLabel>("birthTimeMark")->isHidden(), !stored);
        QCOMPARE(Find<QComboBox>("inTime")->isEnabled(), !stored);
    }

    // A place from the list brings its longitude; 時刻を消す removes the time
    // and the hour box shows the record's period again.
    void dialogStoresAPlaceAndClears() {
        Start({{"試験", "1980", "3", "15", "07:00-09:00", "男"}});
        EnterTime("08:50", QStringLiteral("北海道 札幌市"));
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('\n')));
        const std::optional<BirthTimeEntry> entry = Stored();
        QVERIFY(entry);
        QCOMPARE(entry->clockTime, QStringLiteral("08:50"));
        QCOMPARE(entry->place, QStringLiteral("北海道 札幌市"));
        QVERIFY(entry->longitude && qAbs(*entry->longitude - 141.35) < 0.01);
        // The dialog opens on what is stored.
        w_->DataPage().SetBirthTimeDialogHook([](BirthTimeDialog& d) {
            QCOMPARE(In<QLineEdit>(d, "timeedit")->text(), QStringLiteral("08:50"));
            QCOMPARE(In<QComboBox>(d, "placebox")->currentText(), QStringLiteral("北海道 札幌市"));
            In<QPushButton>(d, "clearbtn")->click();
        });
        Find<QPushButton>("birthTimeBtn")->click();
        QVERIFY(!Stored());
        QVERIFY(Find<QLabel>("birthTimeMark")->isHidden());
        QVERIFY(Find<QComboBox>("inTime")->isEnabled());
        QCOMPARE(Hour(), QStringLiteral("07:00-09:00"));
        QCOMPARE(w_->Persons().Value(kFieldTime), QStringLiteral("07:00-09:00"));
    }

    // The sheet prints the place of the chart as cast, even after the
    // register has moved to another person (who has a time of their own).
    void sheetKeepsThePlaceOfTheCast() {
        Start({{"札幌生", "1980", "3", "15", "07:00-09:00", "男"}, {"那覇生", "1975", "8", "2", "07:00-09:00", "女"}});
        w_->Persons().Last();
        EnterTime("08:10", QStringLiteral("沖縄県 那覇市"));
        w_->Persons().First();
        EnterTime("08:50", QStringLiteral("北海道 札幌市"));
        Cast();
        QVERIFY(w_->Persons().Last());
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("sheet.pdf"));
        w_->PrintModule().SetPdfChooser([&](const QString&) { return pdf; });
        if (w_->PrintModule().HasPrinter()) QSKIP("a printer is installed here; the print would go to it");
        Find<QPushButton>("printbtn1")->click();
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('\n')));
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(30000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(printed.contains(QStringLiteral("札幌市")) && !printed.contains(QStringLiteral("那覇市")),
                 qPrintable(printed));
    }

    // 削除 then 元に戻す: the person comes back with the time, its mark and
    // the hour box showing the time's period.
    void undeletedPersonKeepsTheTime() {
        Start({{"試験", "1980", "3", "15", "07:00-09:00", "男"}, {"別人", "1981", "4", "16", "09:00-11:00", "女"}});
        EnterTime("08:50", QStringLiteral("北海道 札幌市"));
        const std::optional<BirthTimeEntry> entry = Stored();
        QVERIFY(entry);
        PersonTable& t = w_->Persons();
        QVERIFY(t.Delete());
        QCOMPARE(t.Value(kFieldName), QStringLiteral("別人"));
        QVERIFY(!Stored());
        QVERIFY(t.Undelete(t.DeletedRecords().at(0).number));
        QCOMPARE(t.Value(kFieldName), QStringLiteral("試験"));
        QCOMPARE(Stored(), entry);
        QVERIFY(!Find<QLabel>("birthTimeMark")->isHidden());
        QVERIFY(!Find<QComboBox>("inTime")->isEnabled());
    }

    // A register opened read-only: the dialog says it cannot store and stores nothing.
    void readOnlyRegisterCannotStore() {
        Start({{"試験", "1980", "3", "15", "07:00-09:00", "男"}});
        PersonTable& t = w_->Persons();
        t.Close();
        QVERIFY(t.Open(home_->path(), PersonTable::OpenMode::ReadOnly));
        t.First();
        bool shown = false;
        w_->DataPage().SetBirthTimeDialogHook([&](BirthTimeDialog& d) {
            shown = true;
            auto* status = In<QLabel>(d, "statuslbl");
            QVERIFY(!status->isHidden());
            QVERIFY2(status->text().contains(QStringLiteral("保存できません")), qPrintable(status->text()));
            QVERIFY(!In<QPushButton>(d, "savebtn")->isEnabled());
            In<QLineEdit>(d, "timeedit")->setText(QStringLiteral("10:30"));
            QVERIFY(!d.Save());
        });
        Find<QPushButton>("birthTimeBtn")->click();
        QVERIFY(shown);
        QVERIFY(!Stored());
    }

    // 時刻の補正 in the settings window: written on closing, shown on opening;
    // a missing or unknown word is none.
    void settingsChoicePersisted() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("zelv.ini");
        QCOMPARE(LoadTimeCorrection(SettingsFile(ini)), TimeCorrection::kNone);
        for (const auto& [index, correction] :
             {std::pair{1, TimeCorrection::kMean}, std::pair{2, TimeCorrection::kTrue},
              std::pair{0, TimeCorrection::kNone}}) {
            TCunstomFrm w(sink_, QStringLiteral("Zelvara"), ini);
            w.show();
            In<QComboBox>(w, "correctionbox")->setCurrentIndex(index);
            In<QPushButton>(w, "BitBtn1")->click();
            QCOMPARE(LoadTimeCorrection(SettingsFile(ini)), correction);
            TCunstomFrm again(sink_, QStringLiteral("Zelvara"), ini);
            again.show();
            QCOMPARE(In<QComboBox>(again, "correctionbox")->currentIndex(), index);
            again.hide();
        }
        QVERIFY(SettingsFile(ini).Write(kTimeCorrectionSection, kTimeCorrectionKey, QStringLiteral("sundial")));
        QCOMPARE(LoadTimeCorrection(SettingsFile(ini)), TimeCorrection::kNone);
    }

    // A clock time in summer time: 1949-07-01 10:30 in Tokyo is 09:30 standard
    // time, 11:30 is 10:30; both chart the 09:00-11:00 period of that day, even
    // with no correction chosen, and the centre names the hour removed.
    void summerTimeIsRemoved_data() {
        QTest::addColumn<QString>("clock");
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("correction");
        QTest::addColumn<QString>("line");
        QTest::newRow("10:30") << "10:30"
                               << "東京都 新宿区"
                               << "none"
                               << "時刻 10:30→09:30";
        QTest::newRow("11:30") << "11:30"
                               << "東京都 新宿区"
                               << "none"
                               << "時刻 11:30→10:30";
        // All three corrections: the longest line the centre shows.
        QTest::newRow("11:30 Sapporo true") << "11:30"
                                            << "北海道 札幌市"
                                            << "true"
                                            << "時刻 11:30→10:52";
    }
    void summerTimeIsRemoved() {
        QFETCH(QString, clock);
        QFETCH(QString, place);
        QFETCH(QString, correction);
        QFETCH(QString, line);
        Start({{"試験", "1949", "7", "1", "09:00-11:00", "男"}});
        Cast();
        const auto periodChart = MainStars();
        const QStringList periodFields = RecordFields(w_->Persons());
        Find<QComboBox>("inTime")->setCurrentText(QStringLiteral("23:00-01:00"));  // the box no longer counts
        SetCorrection(correction.toLatin1().constData());
        EnterTime(clock, place);
        QCOMPARE(Hour(), QStringLiteral("09:00-11:00"));
        QVERIFY(!Find<QLabel>("birthTimeMark")->isHidden());
        Cast();
        QCOMPARE(MainStars(), periodChart);
        QCOMPARE(w_->Context().man.birthDay, 1);
        // The record: the same fields, with the period of the clock reading.
        QStringList expected = periodFields;
        expected[periodFields.indexOf(QStringLiteral("09:00-11:00"))] =
            clock.startsWith(QStringLiteral("11")) ? QStringLiteral("11:00-13:00") : QStringLiteral("09:00-11:00");
        QCOMPARE(RecordFields(w_->Persons()), expected);
        auto* centre = Find<QLabel>("birthTimeLine");
        QVERIFY(!centre->isHidden());
        QVERIFY2(centre->text().startsWith(line), qPrintable(centre->text()));
        QVERIFY2(centre->text().contains(QStringLiteral("夏時間 −60分")), qPrintable(centre->text()));
        // The centre line beside the pillars and the legend, for a look at the
        // page (ZELVARA_SCREENSHOT_DIR set, run on a real display).
        if (const QString dir = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR"); !dir.isEmpty()) {
            w_->show();
            QTest::qWait(300);
            QDir().mkpath(dir);
            const QString tag = QString::fromUtf8(QTest::currentDataTag()).remove(':').replace(' ', '_');
            w_->grab().save(QDir(dir).filePath(QStringLiteral("birth_time_%1.png").arg(tag)));
            Find<QTabWidget>("PageControl1")->setCurrentIndex(0);
            QTest::qWait(100);
            w_->grab().save(QDir(dir).filePath(QStringLiteral("birth_time_data_%1.png").arg(tag)));
        }
    }

    // Sapporo is 25 minutes ahead in mean solar time: 08:50 on the clock is
    // 09:15, in the next period; with no correction it stays in 07:00-09:00
    // and charts exactly that period, with no line in the centre.
    void sapporoMeanTimeMovesThePeriod_data() {
        QTest::addColumn<QString>("correction");
        QTest::addColumn<QString>("period");
        QTest::addColumn<bool>("line");
        QTest::newRow("mean") << "mean"
                              << "09:00-11:00" << true;
        QTest::newRow("true") << "true"
                              << "09:00-11:00" << true;
        QTest::newRow("none") << "none"
                              << "07:00-09:00" << false;
    }
    void sapporoMeanTimeMovesThePeriod() {
        QFETCH(QString, correction);
        QFETCH(QString, period);
        QFETCH(bool, line);
        Start({{"試験", "1980", "3", "15", period, "女"}});
        Cast();
        const auto periodChart = MainStars();
        Find<QComboBox>("inTime")->setCurrentText(QStringLiteral("07:00-09:00"));
        SetCorrection(correction.toLatin1().constData());
        EnterTime("08:50", QStringLiteral("北海道 札幌市"));
        QCOMPARE(Hour(), period);
        Cast();
        QCOMPARE(MainStars(), periodChart);
        // The record keeps the clock's period; the box shows the corrected one.
        QCOMPARE(w_->Persons().Value(kFieldTime), QStringLiteral("07:00-09:00"));
        QCOMPARE(Hour(), period);
        QCOMPARE(Find<QLabel>("birthTimeLine")->isHidden(), !line);
        if (line)
            QVERIFY2(Find<QLabel>("birthTimeLine")->text().contains(QStringLiteral("経度 +25分")),
                     qPrintable(Find<QLabel>("birthTimeLine")->text()));
    }

    // A correction that moves the birth to the day before: the chart is cast
    // for that moment, the record keeps the date and clock period as entered,
    // and removing the time gives the chart of the record's own fields.
    void correctedDayNeverReachesTheRecord() {
        Start({{"試験", "1972", "11", "3", "09:00-11:00", "男"}});
        Cast();
        const auto enteredChart = MainStars();
        const QStringList enteredFields = RecordFields(w_->Persons());
        SetCorrection("mean");
        answer_ = true;  // a longitude outside Japan, confirmed
        EnterTime("10:40", {}, QStringLiteral("-74"));
        Cast();
        QCOMPARE(w_->Context().man.birthDay, 2);
        QCOMPARE(Hour(), QStringLiteral("19:00-21:00"));  // 20:44 of 11/2 in mean solar time
        QCOMPARE(w_->Persons().Value(kFieldDay), QStringLiteral("3"));
        QCOMPARE(w_->Persons().Value(kFieldTime), QStringLiteral("09:00-11:00"));
        w_->DataPage().SetBirthTimeDialogHook([](BirthTimeDialog& d) { In<QPushButton>(d, "clearbtn")->click(); });
        Find<QPushButton>("birthTimeBtn")->click();
        Cast();
        QCOMPARE(MainStars(), enteredChart);
        QCOMPARE(RecordFields(w_->Persons()), enteredFields);
    }

    // A record an earlier version wrote with the corrected period: the next
    // start copies the register and gives it the clock's period, once, naming
    // the record.
    void startMendsHoursWrittenCorrected() {
        Start({{"試験", "1980", "3", "15", "09:00-11:00", "女"}, {"別人", "1980", "3", "15", "07:00-09:00", "女"}});
        {
            BirthTimeTable times;
            QCOMPARE(times.Open(w_->Persons().FilePath(), true), QString());
            QVERIFY(w_->Persons().FindByName(QStringLiteral("試験")));
            const qint64 person = w_->Persons().Record(w_->Persons().CurrentRow()).rowId;
            QCOMPARE(times.Write(person, BirthTimeEntry{QStringLiteral("08:50"), {}, std::nullopt, {}, std::nullopt}),
                     QString());
        }
        Launch();
        QCOMPARE(sink_.messages.size(), 1);
        QVERIFY2(sink_.messages[0].contains(
                     QStringLiteral("（試験）: 時刻「09:00-11:00」→「07:00-09:00」（出生時刻 08:50）")),
                 qPrintable(sink_.messages[0]));
        QCOMPARE(QDir(home_->filePath("backup")).entryList({"nam_data-before-mend-times-*.db"}).size(), 1);
        QVERIFY(w_->Persons().FindByName(QStringLiteral("試験")));
        QCOMPARE(w_->Persons().Value(kFieldTime), QStringLiteral("07:00-09:00"));
        sink_ = RecordingSink();
        Launch();
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('\n')));
    }

    // A birth abroad: the city found by its Japanese name brings its longitude
    // and zone; the clock is read in New York's time, so 10:40 on 3 November
    // 1972 is 巳 of that day, as the record's own period.
    void birthAbroadReadsTheClockInItsZone() {
        Start({{"試験", "1972", "11", "3", "09:00-11:00", "男"}});
        Cast();
        const auto enteredChart = MainStars();
        SetCorrection("mean");
        w_->DataPage().SetBirthTimeDialogHook([](BirthTimeDialog& d) {
            In<QLineEdit>(d, "timeedit")->setText(QStringLiteral("10:40"));
            auto* search = In<QLineEdit>(d, "worldsearch");
            search->setText(QStringLiteral("ニューヨーク"));
            emit search->textEdited(search->text());
            auto* found = In<QComboBox>(d, "worldbox");
            QVERIFY(found->count() > 1);
            found->setCurrentIndex(1);
            QCOMPARE(In<QLineEdit>(d, "zoneedit")->text(), QStringLiteral("America/New_York"));
            In<QPushButton>(d, "savebtn")->click();
        });
        Find<QPushButton>("birthTimeBtn")->click();
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('\n')));
        const std::optional<BirthTimeEntry> entry = Stored();
        QVERIFY(entry);
        QCOMPARE(entry->zone, QStringLiteral("America/New_York"));
        QVERIFY(entry->longitude && qAbs(*entry->longitude + 74.006) < 0.01);
        Cast();
        QCOMPARE(w_->Context().man.birthDay, 3);
        QCOMPARE(MainStars(), enteredChart);
        QCOMPARE(w_->Persons().Value(kFieldTime), QStringLiteral("09:00-11:00"));
        QVERIFY2(Find<QLabel>("birthTimeLine")->text().contains(QStringLiteral("America/New_York")),
                 qPrintable(Find<QLabel>("birthTimeLine")->text()));
        if (const QString dir = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR"); !dir.isEmpty()) {
            w_->show();
            QTest::qWait(300);
            w_->grab().save(QDir(dir).filePath(QStringLiteral("birth_time_abroad.png")));
        }
        // The dialog opens on the stored world place; its help (F1) opens on
        // the page about exact times, in a window that answers while the
        // dialog is open.
        testing::CopyShipped(home_->path(), {"help/index.html"});
        w_->DataPage().SetBirthTimeDialogHook([](BirthTimeDialog& d) {
            QVERIFY(In<QComboBox>(d, "worldbox")->currentText().startsWith(QStringLiteral("ニューヨーク")));
            d.resize(d.sizeHint());
            if (const QString dir = qEnvironmentVariable("ZELVARA_SCREENSHOT_DIR"); !dir.isEmpty())
                d.grab().save(QDir(dir).filePath(QStringLiteral("birth_time_dialog_abroad.png")));
            In<QPushButton>(d, "helpbtn")->click();
            auto* help = d.findChild<HelpWindow*>();
            QVERIFY(help);
            QVERIFY2(help->ShownSource().endsWith(QStringLiteral("help/index.html#topic9")),
                     qPrintable(help->ShownSource()));
            d.reject();
        });
        Find<QPushButton>("birthTimeBtn")->click();
    }

    // A correction across New Year casts the next year's first day, while the
    // record keeps the year of the birth date as entered.
    void acrossNewYearTheRecordKeepsItsYear() {
        Start({{"試験", "S55", "12", "31", "21:00-23:00", "男"}});
        SetCorrection("mean");
        EnterTime("23:50", QStringLiteral("北海道 札幌市"));
        QCOMPARE(Hour(), QStringLiteral("23:00-01:00"));
        Cast();
        const Tmandata& man = w_->Context().man;
        QCOMPARE(man.birthYear, 1981);
        QCOMPARE(man.birthMonth, 1);
        QCOMPARE(man.birthDay, 1);
        QCOMPARE(w_->Persons().Value(kFieldYear), QStringLiteral("1980"));
        QCOMPARE(w_->Persons().Value(kFieldTime), QStringLiteral("23:00-01:00"));
    }

    // With no time stored nothing changes, whichever correction is chosen:
    // the same chart and the same record fields as a person of the same
    // period, the hour box free and no mark, no centre line.
    void withoutATimeNothingChanges() {
        Start({{"甲", "1980", "3", "15", "07:00-09:00", "女"}, {"乙", "1980", "3", "15", "07:00-09:00", "女"}});
        Cast();
        const auto chart = MainStars();
        const QStringList fields = RecordFields(w_->Persons());
        QVERIFY(Find<QLabel>("birthTimeLine")->isHidden());
        SetCorrection("true");
        w_->Persons().Next();
        QVERIFY(Find<QComboBox>("inTime")->isEnabled());
        QVERIFY(Find<QLabel>("birthTimeMark")->isHidden());
        Cast();
        QCOMPARE(MainStars(), chart);
        QCOMPARE(RecordFields(w_->Persons()), fields);
        QVERIFY(Find<QLabel>("birthTimeLine")->isHidden());
    }
};

QTEST_MAIN(TestBirthTime)
#include "tst_birth_time.moc"
