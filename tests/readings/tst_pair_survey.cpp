// The survey of star-pair keys that the writers' tool and the seed tests use:
// the keys it finds in a chart are the keys the overall reading looks up, and
// the list kept in tools/starpairs/pair_keys.txt is what a survey of every
// birth moment 1921..2100 finds (no key missing, none that cannot occur).
#include "engine/chart_request.h"
#include "engine/context.h"
#include "readings/overall_reading.h"
#include "tests/readings/reading_fixture.h"
#include "tools/starpairs/pair_keys.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <set>

using namespace zelvara;

namespace {

const std::string kDataDir = ZELVARA_DATA_DIR "/";

std::vector<std::string> KeptList() {
    QFile f(QStringLiteral(ZELVARA_PAIR_KEYS));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return BlockKeysOf(f.readAll().toStdString());
}

}  // namespace

class TestPairSurvey : public QObject {
    Q_OBJECT
private slots:
    // The reading, given a pair file with a block for every kept key, prints
    // one pair heading for each key the survey finds in the palace, in the
    // same order; on a sample of charts spread over the whole range.
    void surveyFindsWhatTheReadingLooksUp() {
        const std::vector<std::string> kept = KeptList();
        QVERIFY2(kept.size() > 100, ZELVARA_PAIR_KEYS);
        QString file = QStringLiteral("注釈\n");
        for (const std::string& k : kept) file += QString::fromStdString(k) + QStringLiteral("\n本文\n");
        file += QStringLiteral("#\n");
        ReadingFixture fx;
        fx.WriteSeed(QStringLiteral("hosi2dat.txt"), file);
        const ReadingTexts& texts = fx.Texts();

        SilentSink sink;
        EngineContext ctx(kDataDir, sink);
        const QRegularExpression heading(QStringLiteral("^■(.+)星と(.+)星との組合せ$"));
        int charts = 0, pairs = 0;
        for (int y = 1921; y <= 2100; y += 11)
            for (int m = 1; m <= 12; ++m)
                for (int d = 1 + y % 5; d <= 28; d += 9)
                    for (int h = (y + m + d) % 4; h < 12; h += 4) {
                        if (!CastChart(ctx, {.year = y, .month = m, .day = d, .hourIndex = h})) continue;
                        ++charts;
                        const ChartLayout layout = LayOutChart(ctx.man);
                        for (int p : kPairPalaces) {
                            std::vector<std::string> read;
                            const OverallReading r = ComposeOverallReading(ctx.man, layout.boxText, p, texts, fx.sink);
                            QVERIFY2(r.complete && r.kanteiMemo, qPrintable(fx.sink.messages.join('\n')));
                            for (const QString& line : *r.kanteiMemo) {
                                const auto match = heading.match(line);
                                if (match.hasMatch())
                                    read.push_back(("#" + match.captured(1) + "-" + match.captured(2)).toStdString());
                            }
                            const std::vector<std::string> surveyed = PairKeysOf(layout, p);
                            pairs += int(surveyed.size());
                            QVERIFY2(
                                read == surveyed,
                                qPrintable(
                                    QStringLiteral("%1/%2/%3 hour %4 palace %5").arg(y).arg(m).arg(d).arg(h).arg(p)));
                        }
                    }
        QVERIFY2(charts > 1000, qPrintable(QString::number(charts)));
        QVERIFY2(pairs > 2500, qPrintable(QString::number(pairs)));
        QVERIFY2(fx.sink.messages.isEmpty(), qPrintable(fx.sink.messages.join('\n')));
    }

    // The kept list is the survey of every day and hour period 1921..2100.
    void keptListIsTheWholeSurvey() {
        SilentSink sink;
        EngineContext ctx(kDataDir, sink);
        const PairSurvey survey = SurveyPairKeys(ctx, 1921, 2100);
        QVERIFY2(survey.charts > 780000, qPrintable(QString::number(survey.charts)));
        std::vector<std::string> found;
        for (const auto& entry : survey.count) found.push_back(entry.first);
        const std::vector<std::string> kept = KeptList();
        QStringList diff;
        std::set<std::string> keptSet(kept.begin(), kept.end()), foundSet(found.begin(), found.end());
        for (const std::string& k : found)
            if (!keptSet.count(k)) diff << QStringLiteral("not in the list: ") + QString::fromStdString(k);
        for (const std::string& k : kept)
            if (!foundSet.count(k)) diff << QStringLiteral("never looked up: ") + QString::fromStdString(k);
        QVERIFY2(diff.isEmpty(),
                 qPrintable(diff.join('\n') + "\nregenerate with zelvara-starpairs keys DATA 1921 2100"));
        QCOMPARE(kept.size(), found.size());  // no key twice
    }
};

QTEST_GUILESS_MAIN(TestPairSurvey)
#include "tst_pair_survey.moc"
