// The bundled birthplace list: what it holds, how names find a place, and
// the messages for a list that cannot be read.
#include "engine/birthplaces.h"
#include "engine/solar_time.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

namespace zelvara {
namespace {

std::vector<Birthplace> Shipped() {
    std::vector<Birthplace> places;
    std::string message;
    EXPECT_EQ(LoadBirthplaces(std::string(ZELVARA_DATA_DIR) + "/" + std::string(kBirthplacesFile), places, message), 0)
        << message;
    return places;
}

TEST(Birthplaces, ShippedListHoldsEveryPrefectureAndDesignatedCity) {
    const std::vector<Birthplace> places = Shipped();
    std::set<std::string> prefectures;
    for (const Birthplace& p : places) prefectures.insert(p.prefecture);
    EXPECT_EQ(prefectures.size(), 47u);
    const char* designated[] = {"札幌", "仙台", "さいたま", "千葉",   "横浜", "川崎", "相模原",
                                "新潟", "静岡", "浜松",     "名古屋", "京都", "大阪", "堺",
                                "神戸", "岡山", "広島",     "北九州", "福岡", "熊本"};
    for (const char* city : designated) EXPECT_NE(FindBirthplace(places, city), nullptr) << city;
}

TEST(Birthplaces, NamesFindTheirPlace) {
    const std::vector<Birthplace> places = Shipped();
    struct Case {
        const char* typed;
        const char* found;  // nullptr: no such place
    };
    const Case cases[] = {
        {"札幌", "北海道 札幌市"},
        {"札幌市", "北海道 札幌市"},
        {"北海道", "北海道 札幌市"},
        {"北海道 札幌市", "北海道 札幌市"},
        {"北海道札幌市", "北海道 札幌市"},
        {"神奈川", "神奈川県 横浜市"},
        {"神奈川県", "神奈川県 横浜市"},
        {"川崎市", "神奈川県 川崎市"},
        {"東京", "東京都 新宿区"},
        {"　那覇　", "沖縄県 那覇市"},
        {"明石", nullptr},
        {"", nullptr},
        {"Sapporo", nullptr},
    };
    for (const Case& c : cases) {
        const Birthplace* p = FindBirthplace(places, c.typed);
        EXPECT_EQ(p ? p->Name() : "(none)", c.found ? c.found : "(none)") << c.typed;
    }
    EXPECT_NEAR(LongitudeMinutes(FindBirthplace(places, "札幌")->longitude), 25.4, 0.05);
    EXPECT_NEAR(LongitudeMinutes(FindBirthplace(places, "那覇")->longitude), -29.3, 0.05);
}

TEST(Birthplaces, UnreadableListsAreRefusedWithFileAndLine) {
    const std::string path = (std::filesystem::temp_directory_path() / "zelvara_birthplaces_test.txt").string();
    struct Case {
        const char* what;
        const char* text;  // nullptr: no file
        const char* expected;
    };
    const Case cases[] = {
        {"missing", nullptr, "を開けません"},
        {"no tabs", "# list\n北海道 札幌市 141 20 50\n", "の 2 行目「北海道 札幌市 141 20 50」が読めません"},
        {"outside Japan", "北海道\t札幌市\t160\n", "の 1 行目"},
        {"west of Japan", "沖縄県\t那覇市\t121.9\n", "の 1 行目"},
        {"not a number", "北海道\t札幌市\t百四十一\n", "の 1 行目"},
        {"minutes past 59", "北海道\t札幌市\t141 60 0\n", "の 1 行目"},
        {"no city", "北海道\t\t141\n", "の 1 行目"},
        {"only comments", "# nothing\n", "出生地が一つもありません"},
    };
    for (const Case& c : cases) {
        std::remove(path.c_str());
        if (c.text) std::ofstream(path, std::ios::binary) << c.text;
        std::vector<Birthplace> places{{"x", "y", 135}};
        std::string message;
        EXPECT_EQ(LoadBirthplaces(path, places, message), -1) << c.what;
        EXPECT_NE(message.find(path), std::string::npos) << c.what << ": " << message;
        EXPECT_NE(message.find(c.expected), std::string::npos) << c.what << ": " << message;
        EXPECT_EQ(places.size(), 1u) << c.what;  // the list held before stays
    }
    std::ofstream(path, std::ios::binary) << "沖縄県\t那覇市\t127.681\r\n北海道\t札幌市\t141 20 50\r\n";
    std::vector<Birthplace> places;
    std::string message;
    ASSERT_EQ(LoadBirthplaces(path, places, message), 0) << message;
    ASSERT_EQ(places.size(), 2u);
    EXPECT_NEAR(places[1].longitude, 141.3472, 0.0001);
    std::remove(path.c_str());
}

}  // namespace
}  // namespace zelvara
