// zelvara-starpairs: a writer's tool for the reading texts.
//
//   zelvara-starpairs pairs DATA FROM TO
//       Casts every day and hour period of the years FROM..TO (calendar files
//       in DATA) and counts the star-pair keys "#A-B" that the overall reading
//       looks up in 命宮, 遷移宮 and 官禄宮: labels in display order, A before
//       B, labels carrying a transformation mark left out. Prints
//       "count<TAB>key" for every key seen, most frequent first.
//   zelvara-starpairs keys DATA FROM TO
//       The keys alone, one a line in byte order. Over 1921..2100 this is
//       tools/starpairs/pair_keys.txt, the list the seed tests hold the
//       blocks of hosi2dat.txt to.
//   zelvara-starpairs missing DATA FROM TO SEED/hosi2dat.txt
//       The same survey against the seed: prints the keys that have no block
//       and the blocks that no chart looks up; exit status 1 when any.
//   zelvara-starpairs read DATA TABLES SEED 男|女 YEAR/MONTH/DAY HOUR [PALACE...]
//       Makes the reading tables in TABLES from the seeds in SEED (delete the
//       tables there first to see edited seeds), casts the chart and prints
//       the overall reading of the palaces given (default 命宮), the luck
//       reading of every period and the marriage reading.
#include "editors/reading_tables.h"
#include "engine/chart_layout.h"
#include "engine/chart_request.h"
#include "engine/context.h"
#include "readings/luck_reading.h"
#include "readings/marriage_reading.h"
#include "readings/overall_reading.h"
#include "readings/reading_texts.h"
#include "tools/starpairs/pair_keys.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

using namespace zelvara;

namespace {

class ErrSink final : public MessageSink {
public:
    void Show(std::string_view text, std::string_view) override { std::cerr << text << '\n'; }
};

// Every key of the years from..to, "count<TAB>key", most frequent first.
int Pairs(const std::string& data, int from, int to) {
    SilentSink sink;
    EngineContext ctx(data, sink);
    const PairSurvey survey = SurveyPairKeys(ctx, from, to);
    std::vector<std::pair<long, std::string>> v;
    for (const auto& [k, n] : survey.count) v.push_back({n, k});
    std::sort(v.begin(), v.end(),
              [](auto& a, auto& b) { return a.first != b.first ? a.first > b.first : a.second < b.second; });
    for (auto& [n, k] : v) std::cout << n << '\t' << k << '\n';
    std::cerr << survey.charts << " charts, " << survey.refused << " refused, " << v.size() << " keys\n";
    return 0;
}

// Every key of the years from..to, one a line in byte order: the list kept in
// tools/starpairs/pair_keys.txt, against which the seed tests check the blocks.
int Keys(const std::string& data, int from, int to) {
    SilentSink sink;
    EngineContext ctx(data, sink);
    const PairSurvey survey = SurveyPairKeys(ctx, from, to);
    for (const auto& entry : survey.count) std::cout << entry.first << '\n';
    return 0;
}

// The keys of the years from..to that the seed has no block for ("missing"),
// and the seed's blocks that no chart looks up ("unused"). 1 when any.
int Missing(const std::string& data, int from, int to, const char* seedPath) {
    std::ifstream in(seedPath, std::ios::binary);
    if (!in) {
        std::cerr << "cannot read " << seedPath << '\n';
        return 2;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<std::string> list = BlockKeysOf(text);
    const std::set<std::string> blocks(list.begin(), list.end());
    SilentSink sink;
    EngineContext ctx(data, sink);
    const PairSurvey survey = SurveyPairKeys(ctx, from, to);
    int faults = 0;
    for (const auto& [k, n] : survey.count)
        if (!blocks.count(k)) {
            std::cout << "missing\t" << n << '\t' << k << '\n';
            ++faults;
        }
    for (const std::string& k : blocks)
        if (!survey.count.count(k)) {
            std::cout << "unused\t" << k << '\n';
            ++faults;
        }
    std::cerr << survey.count.size() << " keys, " << blocks.size() << " blocks, " << faults << " faults\n";
    return faults ? 1 : 0;
}

void Print(const QStringList& lines) {
    for (const QString& l : lines) std::cout << l.toStdString() << '\n';
}

int Read(int argc, char** argv) {
    ErrSink sink;
    EngineContext ctx(argv[2], sink);
    BirthInput in;
    in.sex = argv[5];
    std::string date = argv[6];
    size_t a = date.find('/'), b = date.find('/', a + 1);
    in.year = date.substr(0, a);
    in.month = date.substr(a + 1, b - a - 1);
    in.day = date.substr(b + 1);
    in.hour = argv[7];
    const CastOutcome chart = RequestChart(ctx, in);
    if (!chart) return 1;
    const Tmandata& man = chart->Man();
    const ChartLayout lay = LayOutChart(man);
    ReadingTables tables(sink);
    if (!tables.Open(QString::fromUtf8(argv[3]), {QString::fromUtf8(argv[4])})) return 1;
    const ReadingTexts& texts = *tables.Texts();
    std::vector<int> palaces;
    for (int i = 8; i < argc; ++i) palaces.push_back(std::atoi(argv[i]));
    if (palaces.empty()) palaces.push_back(2);
    for (int p : palaces) {
        std::cout << "=== overall " << p << " ===\n";
        OverallReading r = ComposeOverallReading(man, lay.boxText, p, texts, sink);
        if (r.hlp12Memo) Print(*r.hlp12Memo);
        std::cout << "---\n";
        if (r.kanteiMemo) Print(*r.kanteiMemo);
    }
    for (int period = 1; period <= 12; ++period) {
        std::cout << "=== luck " << period << " ===\n";
        Print(ComposeLuckReading(man, period, texts, sink).kounMemo);
    }
    std::cout << "=== marriage ===\n";
    MarriageReading m = ComposeMarriageReading(man, texts, sink);
    if (m.aiMemo1) Print(*m.aiMemo1);
    std::cout << "---\n";
    if (m.aiMemo2) Print(*m.aiMemo2);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "pairs" && argc == 5) return Pairs(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (mode == "keys" && argc == 5) return Keys(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (mode == "missing" && argc == 6) return Missing(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), argv[5]);
    if (mode == "read" && argc >= 8) return Read(argc, argv);
    std::cerr << "usage: zelvara-starpairs pairs DATA FROM TO\n"
                 "       zelvara-starpairs keys DATA FROM TO > tools/starpairs/pair_keys.txt\n"
                 "       zelvara-starpairs missing DATA FROM TO SEED/hosi2dat.txt\n"
                 "       zelvara-starpairs read DATA TABLES SEED 男|女 YEAR/MONTH/DAY HH:00-HH:00 [PALACE...]\n";
    return 2;
}
