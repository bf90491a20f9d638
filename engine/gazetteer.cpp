#include "engine/gazetteer.h"

#include "engine/chart_request.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>

namespace zelvara {
namespace {

constexpr std::size_t kFields = 9;

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

bool ReadNumber(const std::string& text, double& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

// 0 equal, 1 begins with, 2 contains, 3 no match.
int MatchRank(const GazetteerPlace& p, const std::string& query, const std::string& lowered) {
    const std::string latin = Lower(p.name);
    if (p.japaneseName == query || latin == lowered || Lower(p.Label()) == lowered) return 0;
    if ((!p.japaneseName.empty() && p.japaneseName.starts_with(query)) || latin.starts_with(lowered)) return 1;
    const bool longEnough = query.size() >= 2;
    if (longEnough && ((!p.japaneseName.empty() && p.japaneseName.find(query) != std::string::npos) ||
                       latin.find(lowered) != std::string::npos))
        return 2;
    return 3;
}

}  // namespace

std::string GazetteerPlace::Label() const {
    const std::string where = name + ", " + country;
    return japaneseName.empty() ? where : japaneseName + "（" + where + "）";
}

int LoadGazetteer(const std::string& path, std::vector<GazetteerPlace>& out, std::string& message) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        message = "世界の出生地の一覧 " + path + " を開けません。プログラムを入れ直して下さい。";
        return -1;
    }
    std::vector<GazetteerPlace> places;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> f = SplitTabs(line);
        GazetteerPlace p;
        double population = 0;
        const bool read = f.size() == kFields && !f[1].empty() && !f[5].empty() && ReadNumber(f[6], p.latitude) &&
                          ReadNumber(f[7], p.longitude) && ReadNumber(f[8], population) &&
                          std::fabs(p.latitude) <= 90 && std::fabs(p.longitude) <= 180 && population >= 0;
        if (!read) {
            message = "世界の出生地の一覧 " + path + " の " + std::to_string(number) +
                      " 行目が読めません。プログラムを入れ直して下さい。";
            return -1;
        }
        p.japaneseName = f[0];
        p.name = f[1];
        p.state = f[2];
        p.countryCode = f[3];
        p.country = f[4];
        p.zone = f[5];
        p.population = static_cast<unsigned long>(population);
        places.push_back(std::move(p));
    }
    if (places.empty()) {
        message = "世界の出生地の一覧 " + path + " に出生地が一つもありません。プログラムを入れ直して下さい。";
        return -1;
    }
    out = std::move(places);
    return 0;
}

std::vector<const GazetteerPlace*> SearchGazetteer(const std::vector<GazetteerPlace>& places, std::string_view typed,
                                                   std::size_t limit) {
    const std::string query = NormalizeTypedText(typed);
    std::vector<std::pair<int, const GazetteerPlace*>> found;
    if (query.empty()) return {};
    const std::string lowered = Lower(query);
    for (const GazetteerPlace& p : places)
        if (const int rank = MatchRank(p, query, lowered); rank < 3) found.emplace_back(rank, &p);
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second->population > b.second->population;
    });
    std::vector<const GazetteerPlace*> out;
    for (std::size_t i = 0; i < found.size() && i < limit; ++i) out.push_back(found[i].second);
    return out;
}

const GazetteerPlace* FindGazetteerPlace(const std::vector<GazetteerPlace>& places, std::string_view typed) {
    const std::vector<const GazetteerPlace*> best = SearchGazetteer(places, typed, 1);
    if (best.empty()) return nullptr;
    const std::string query = NormalizeTypedText(typed);
    return MatchRank(*best.front(), query, Lower(query)) == 0 ? best.front() : nullptr;
}

std::optional<PlaceChoice> FindPlace(const std::vector<Birthplace>& japan, const std::vector<GazetteerPlace>& world,
                                     std::string_view typed) {
    if (const Birthplace* p = FindBirthplace(japan, typed)) return PlaceChoice{p->Name(), p->longitude, {}};
    if (const GazetteerPlace* p = FindGazetteerPlace(world, typed))
        return PlaceChoice{p->Label(), p->longitude, p->zone == "Asia/Tokyo" ? std::string() : p->zone};
    return std::nullopt;
}

}  // namespace zelvara
