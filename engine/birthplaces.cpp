#include "engine/birthplaces.h"

#include "engine/chart_request.h"
#include "engine/solar_time.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

namespace zelvara {
namespace {

// "141 20 50" (degrees, minutes, seconds) or "141.3472"; nan when neither.
double ReadLongitude(const std::string& text) {
    std::istringstream in(text);
    std::vector<double> parts;
    std::string word;
    while (in >> word) {
        double v = 0;
        const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
        if (ec != std::errc() || end != word.data() + word.size() || v < 0) return std::nan("");
        parts.push_back(v);
    }
    if (parts.size() == 1) return parts[0];
    if (parts.size() == 3 && parts[1] < 60 && parts[2] < 60) return parts[0] + parts[1] / 60 + parts[2] / 3600;
    return std::nan("");
}

// A name without its trailing administrative suffix (都, 道, 府, 県, 市, 区),
// so that 札幌 finds 札幌市 and 神奈川 finds 神奈川県. 北海道 keeps its 道.
std::string Bare(const std::string& name) {
    for (std::string_view suffix : {"都", "府", "県", "市", "区"})
        if (name.size() > suffix.size() && name.ends_with(suffix)) return name.substr(0, name.size() - suffix.size());
    return name;
}

}  // namespace

int LoadBirthplaces(const std::string& path, std::vector<Birthplace>& out, std::string& message) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        message = "出生地の一覧 " + path + " を開けません。プログラムを入れ直して下さい。";
        return -1;
    }
    std::vector<Birthplace> places;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const size_t a = line.find('\t');
        const size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
        Birthplace p;
        if (b != std::string::npos) {
            p.prefecture = line.substr(0, a);
            p.city = line.substr(a + 1, b - a - 1);
            p.longitude = ReadLongitude(line.substr(b + 1));
        }
        if (b == std::string::npos || p.prefecture.empty() || p.city.empty() ||
            !(p.longitude >= kFirstJapanLongitude) || !(p.longitude <= kLastJapanLongitude)) {
            message = "出生地の一覧 " + path + " の " + std::to_string(number) + " 行目「" + line +
                      "」が読めません。都道府県、市区、東経（" + std::to_string(int(kFirstJapanLongitude)) + "〜" +
                      std::to_string(int(kLastJapanLongitude)) + " 度）をタブで区切って書いて下さい。";
            return -1;
        }
        places.push_back(std::move(p));
    }
    if (places.empty()) {
        message = "出生地の一覧 " + path + " に出生地が一つもありません。プログラムを入れ直して下さい。";
        return -1;
    }
    out = std::move(places);
    return 0;
}

const Birthplace* FindBirthplace(const std::vector<Birthplace>& places, std::string_view typed) {
    std::string name = NormalizeTypedText(typed);
    if (name.empty()) return nullptr;
    for (const Birthplace& p : places)
        if (name == p.Name() || name == p.prefecture + p.city) return &p;
    for (const Birthplace& p : places)
        if (name == p.city || name == Bare(p.city)) return &p;
    for (const Birthplace& p : places)
        if (name == p.prefecture || name == Bare(p.prefecture)) return &p;
    return nullptr;
}

}  // namespace zelvara
