// The chart session without a screen or a register file: the order in which
// a request refuses bad entries, the write-back once at the end of a cast,
// the hour choice picked or abandoned, a store that keeps nothing and a store
// that refuses the write.
#include "common/qstring_utf8.h"
#include "session/chart_session.h"
#include "tests/recording_sink.h"

#include <QTest>

#include <optional>
#include <vector>

using namespace zelvara;

namespace {

// What happened during a request, in order: "notice", "choose", "show", "write".
using Events = QStringList;

// The person's record: counts the writes and notes whether a chart stood at
// each one.
class FakeStore final : public PersonStore {
public:
    explicit FakeStore(Events& events) : events_(events) {}
    QString Unavailability() const override { return unavailability; }
    bool WriteChartFields(const PersonChartFields& fields) override {
        events_ << QStringLiteral("write");
        writes.push_back(fields);
        chartAtWrite.push_back(session && session->HasChart());
        return accepts;
    }

    QString unavailability;  // non-empty: the register is read-only or closed
    bool accepts = true;
    std::vector<PersonChartFields> writes;
    std::vector<bool> chartAtWrite;
    const ChartSession* session = nullptr;  // the session writing

private:
    Events& events_;
};

// The hour window: picks the given period, or is closed without a choice.
class FakeChooser final : public HourChooser {
public:
    explicit FakeChooser(Events& events) : events_(events) {}
    std::optional<int> ChooseHour(const HourGrid& candidates) override {
        events_ << QStringLiteral("choose");
        shown = candidates;
        return answer;
    }
    std::optional<int> answer;
    HourGrid shown{};

private:
    Events& events_;
};

// The message sink also notes the hour notice among the events.
class EventSink final : public MessageSink {
public:
    explicit EventSink(Events& events) : events_(events) {}
    void Show(std::string_view text, std::string_view caption) override {
        recorded.Show(text, caption);
        events_ << QStringLiteral("message");
    }
    RecordingSink recorded;

private:
    Events& events_;
};

// The calendar files the build copied beside the programs.
std::string DataFolder() { return qEnvironmentVariable("ZELVARA_DATA_DIR").toStdString(); }

const QString kBefore1921 = QStringLiteral(
    "万年暦が１９２１年より小さい年には対応していませんので診断できません。（鑑定できるのは "
    "1921年1月6日〜2100年12月31日 に生まれた方です）");
const QString kHourNotice = QStringLiteral("時刻が不明または指定されていませんのでこれから推測していきます。");

}  // namespace

class TestChartSession : public QObject {
    Q_OBJECT
private:
    Events events_;
    std::unique_ptr<EventSink> sink_;
    std::unique_ptr<ChartSession> session_;
    std::unique_ptr<FakeStore> store_;
    std::unique_ptr<FakeChooser> chooser_;
    int shown_ = 0;

    // A request as the chart button makes it; the show step is noted.
    RequestOutcome Request(const BirthInput& in) {
        return session_->Request(in, *chooser_, [this](const SessionChart& chart) {
            ++shown_;
            events_ << QStringLiteral("show");
            QCOMPARE(chart.layout.boxText, session_->Layout().boxText);
        });
    }
    const QStringList& Messages() const { return sink_->recorded.messages; }
    void Forget() {
        events_.clear();
        sink_->recorded = RecordingSink();
    }

private slots:
    void init() {
        events_.clear();
        shown_ = 0;
        sink_ = std::make_unique<EventSink>(events_);
        store_ = std::make_unique<FakeStore>(events_);
        session_ = std::make_unique<ChartSession>(DataFolder(), *sink_, *store_);
        store_->session = session_.get();
        chooser_ = std::make_unique<FakeChooser>(events_);
    }

    // An exact time corrected across New Year: the corrected moment is cast
    // (its period, no hour choice even for an unknown hour box) while the
    // record keeps the year of the date as entered; a refused entry date
    // stops the request before the corrected moment is looked at.
    void exactTimeCastsTheCorrectedMoment() {
        const CorrectedBirth moment =
            CorrectBirthTime(ClockBirth{1980, 12, 31, 23 * 60 + 50}, 0, TimeCorrection::kMean, 141.35);
        QCOMPARE(moment.year, 1981);
        const RequestOutcome outcome =
            session_->Request({"試験", "男", "S55", "12", "31", "不明の場合"}, *chooser_, {}, moment);
        QVERIFY2(Messages().isEmpty(), qPrintable(Messages().join('\n')));
        QVERIFY(outcome.IsCast());
        QVERIFY(!events_.contains(QStringLiteral("choose")));
        QCOMPARE(session_->Man().birthYear, 1981);
        QCOMPARE(session_->Man().birthMonth, 1);
        QCOMPARE(session_->Man().birthDay, 1);
        QCOMPARE(session_->Chart().hourIndex, 0);
        QVERIFY(session_->Chart().exact.has_value());
        QCOMPARE(store_->writes.size(), size_t(1));
        QCOMPARE(store_->writes[0].year, QStringLiteral("1980"));
        QCOMPARE(store_->writes[0].hour, QStringLiteral("23:00-01:00"));

        // A correction that moves the reading into the next period: the chart
        // takes the corrected period, the record the clock's.
        const CorrectedBirth later =
            CorrectBirthTime(ClockBirth{1980, 12, 30, 22 * 60 + 50}, 0, TimeCorrection::kMean, 141.35);
        QCOMPARE(later.hourIndex, 0);
        QVERIFY(session_->Request({"試験", "男", "S55", "12", "30", "21:00-23:00"}, *chooser_, {}, later).IsCast());
        QCOMPARE(session_->Chart().hourIndex, 0);
        QCOMPARE(store_->writes.size(), size_t(2));
        QCOMPARE(store_->writes[1].hour, QStringLiteral("21:00-23:00"));

        Forget();
        const RequestOutcome refused =
            session_->Request({"試験", "男", "1980", "2", "30", "不明の場合"}, *chooser_, {}, moment);
        QVERIFY(!refused.IsCast());
        QCOMPARE(Messages(), QStringList{QStringLiteral("1980年2月には30日がありません。日付を確かめて下さい。")});
        QCOMPARE(store_->writes.size(), size_t(2));
    }

    // The first bad entry is the one reported, whatever follows it; a refused
    // request shows nothing, asks for no hour and writes nothing.
    void refusesTheFirstBadEntry_data() {
        QTest::addColumn<QString>("sex");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("message");
        QTest::newRow("sex before all else") << ""
                                             << ""
                                             << ""
                                             << ""
                                             << ""
                                             << "性別を指定してください。";
        QTest::newRow("unknown sex") << "男性"
                                     << "1965"
                                     << "3"
                                     << "7"
                                     << "03:00-05:00"
                                     << "性別を指定してください。";
        QTest::newRow("year before month") << "男"
                                           << ""
                                           << ""
                                           << "7"
                                           << ""
                                           << "年が指定されていません。";
        QTest::newRow("era year outside its era before month")
            << "女"
            << "R0"
            << ""
            << ""
            << ""
            << "生まれた年「R0」は令和の年としてありません。令和は R1（2019年）からです。";
        QTest::newRow("era year before the calendar") << "女"
                                                      << "T9"
                                                      << "3"
                                                      << "7"
                                                      << "" << kBefore1921;
        QTest::newRow("not a year")
            << "男"
            << "S4x"
            << ""
            << "7"
            << ""
            << "生まれた年「S4x」を年として読めません。西暦の数字（例 1965）か、年号の頭文字（M 明治・T 大正・S "
               "昭和・H 平成・R 令和）と年（例 S40）で入力して下さい。";
        QTest::newRow("month before day") << "男"
                                          << "1965"
                                          << ""
                                          << ""
                                          << ""
                                          << "月が指定されていません。";
        QTest::newRow("day") << "男"
                             << "S40"
                             << "3"
                             << ""
                             << "03:00-05:00"
                             << "日が指定されていません。";
        QTest::newRow("date before the hour choice") << "男"
                                                     << "1965"
                                                     << "2"
                                                     << "30"
                                                     << "不明の場合"
                                                     << "1965年2月には30日がありません。日付を確かめて下さい。";
        QTest::newRow("date before a bad hour text") << "女"
                                                     << "1965"
                                                     << "2"
                                                     << "30"
                                                     << "25:00"
                                                     << "1965年2月には30日がありません。日付を確かめて下さい。";
        QTest::newRow("cast out of range")
            << "男"
            << "1921"
            << "1"
            << "5"
            << "05:00-07:00"
            << "鑑定可能範囲（1921年1月6日〜2100年12月31日）を越えているので鑑定はできません。";
    }
    void refusesTheFirstBadEntry() {
        QFETCH(QString, sex);
        QFETCH(QString, year);
        QFETCH(QString, month);
        QFETCH(QString, day);
        QFETCH(QString, hour);
        QFETCH(QString, message);
        // A chart stands before, so the refusal must take it down.
        QVERIFY(Request({"前", "女", "1965", "3", "7", "03:00-05:00"}).IsCast());
        Forget();
        const RequestOutcome outcome = Request({"試験", sex.toStdString(), year.toStdString(), month.toStdString(),
                                                day.toStdString(), hour.toStdString()});
        QCOMPARE(Messages(), QStringList{message});
        QCOMPARE(events_, QStringList{"message"});  // no hour choice, no show, no write
        QCOMPARE(outcome.status, RequestOutcome::Status::Refused);
        QCOMPARE(outcome.writeBack, RequestOutcome::WriteBack::NotTried);
        QVERIFY(!session_->HasChart());
        QCOMPARE(session_->Man().birthText, std::string());  // the empty record
        QCOMPARE(store_->writes.size(), size_t(1));          // only the chart before
    }

    // A cast is shown first and written once, with the chart standing: the
    // converted year, the hour text and every palace's main star.
    void writesBackOnceAtTheEnd() {
        const RequestOutcome outcome = Request({"甲", "女", "Ｓ４０", "3", "7", "05:00-07:00"});
        QVERIFY2(Messages().isEmpty(), qPrintable(sink_->recorded.Last()));
        QCOMPARE(events_, (QStringList{"show", "write"}));
        QCOMPARE(outcome.status, RequestOutcome::Status::Cast);
        QCOMPARE(outcome.writeBack, RequestOutcome::WriteBack::Written);
        QCOMPARE(store_->chartAtWrite, std::vector<bool>{true});
        const PersonChartFields& written = store_->writes.at(0);
        QCOMPARE(written.year, QStringLiteral("1965"));
        QCOMPARE(written.hour, QStringLiteral("05:00-07:00"));
        const Tmandata& man = session_->Man();
        bool someEmpty = false;
        for (int p = 1; p <= kPalaces; ++p) {
            QCOMPARE(written.mainStars[p], Q(kStarShortNames[man.mainStar[p]]));
            someEmpty |= written.mainStars[p].isEmpty();
        }
        QVERIFY(someEmpty);  // a palace without a main star is written empty
        // The chart and what it was cast from, read back.
        const SessionChart& chart = session_->Chart();
        QCOMPARE(chart.input.year, std::string("Ｓ４０"));
        QCOMPARE(chart.recordYear, 1965);
        QCOMPARE(chart.hourIndex, 3);
        QVERIFY(!chart.hourChosen);
        QCOMPARE(man.name, std::string("甲"));
        QCOMPARE(man.birthText, std::string("1965/3/7"));
        QVERIFY(!chart.luckCaptions[1].empty());
        QCOMPARE(chart.layout.boxText, LayOutChart(man).boxText);
    }

    // An unknown hour: the notice, then the candidates of all twelve periods;
    // the chosen one is cast and written.
    void unknownHourIsChosen_data() {
        QTest::addColumn<QString>("hour");
        QTest::newRow("不明の場合") << "不明の場合";
        QTest::newRow("empty") << "";
    }
    void unknownHourIsChosen() {
        QFETCH(QString, hour);
        chooser_->answer = 3;
        const RequestOutcome outcome = Request({"丙", "女", "1975", "12", "24", hour.toStdString()});
        QCOMPARE(Messages(), QStringList{kHourNotice});
        QCOMPARE(events_, (QStringList{"message", "choose", "show", "write"}));
        QCOMPARE(outcome.status, RequestOutcome::Status::Cast);
        QCOMPARE(session_->Man().hourIndex, 3);
        QVERIFY(session_->Chart().hourChosen);
        QCOMPARE(store_->writes.at(0).hour, QStringLiteral("05:00-07:00"));
        QCOMPARE(chooser_->shown, session_->HourCandidates());
        // Each column holds the main stars of that period's own chart.
        ChartSession check(DataFolder(), *sink_, *store_);
        for (int h : {0, 3, 11}) {
            const CastOutcome cast =
                RequestChart(check.Context(), {"", "女", "1975", "12", "24", std::string(kHourPeriodTexts[h])});
            QVERIFY(cast.has_value());
            for (int p = 1; p <= kPalaces; ++p) QCOMPARE(chooser_->shown[p][h], cast->Man().mainStar[p]);
        }
    }

    // The hour window closed without a choice: no chart (even where one stood
    // before), nothing shown, nothing written.
    void abandonedHourChoiceLeavesNoChart() {
        QVERIFY(Request({"前", "男", "1959", "5", "7", "05:00-07:00"}).IsCast());
        Forget();
        chooser_->answer.reset();
        const RequestOutcome outcome = Request({"丁", "男", "S50", "12", "24", ""});
        QCOMPARE(events_, (QStringList{"message", "choose"}));
        QCOMPARE(outcome.status, RequestOutcome::Status::Cancelled);
        QCOMPARE(outcome.writeBack, RequestOutcome::WriteBack::NotTried);
        QVERIFY(!session_->HasChart());
        QVERIFY(!session_->Held().has_value());
        QCOMPARE(store_->writes.size(), size_t(1));
        QCOMPARE(shown_, 1);
    }

    // A register that cannot be written: the chart is cast and shown, nothing
    // is written, and the outcome carries the register's reason.
    void readOnlyRegisterKeepsNothing() {
        store_->unavailability = QStringLiteral("名簿は読み取り専用で開いています。");
        const RequestOutcome outcome = Request({"戊", "男", "1959", "5", "7", "05:00-07:00"});
        QCOMPARE(events_, QStringList{"show"});
        QCOMPARE(outcome.status, RequestOutcome::Status::Cast);
        QCOMPARE(outcome.writeBack, RequestOutcome::WriteBack::NotKept);
        QCOMPARE(outcome.notKept, store_->unavailability);
        QVERIFY(store_->writes.empty());
        QVERIFY(session_->HasChart());
        QVERIFY(Messages().isEmpty());  // the data page already says why
    }

    // The store refuses the write: the chart still stands.
    void refusedWriteKeepsTheChart() {
        store_->accepts = false;
        const RequestOutcome outcome = Request({"己", "女", "2024", "2", "10", "11:00-13:00"});
        QCOMPARE(events_, (QStringList{"show", "write"}));
        QCOMPARE(outcome.status, RequestOutcome::Status::Cast);
        QCOMPARE(outcome.writeBack, RequestOutcome::WriteBack::Refused);
        QVERIFY(session_->HasChart());
        QCOMPARE(session_->Chart().hourIndex, 6);
    }
};

QTEST_GUILESS_MAIN(TestChartSession)
#include "tst_chart_session.moc"
