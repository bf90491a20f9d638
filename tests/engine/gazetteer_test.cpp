// The world's birthplaces: the shipped gazetteer, how a typed name finds its
// places (Japanese or Latin, either case, best first), how a name resolves
// with the survey list of Japan first, and a file that cannot be read.
#include "engine/gazetteer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace zelvara {
namespace {

const std::vector<GazetteerPlace>& World() {
    static const std::vector<GazetteerPlace> places = [] {
        std::vector<GazetteerPlace> out;
        std::string message;
        EXPECT_EQ(LoadGazetteer(std::string(ZELVARA_DATA_DIR) + "/" + std::string(kGazetteerFile), out, message), 0)
            << message;
        return out;
    }();
    return places;
}

TEST(Gazetteer, ShippedFileHoldsTheCitiesWithZones) {
    const auto& world = World();
    EXPECT_EQ(world.size(), 24361u);
    std::size_t japan = 0;
    for (const GazetteerPlace& p : world) {
        japan += p.countryCode == "JP";
        EXPECT_FALSE(p.zone.empty()) << p.name;
    }
    EXPECT_EQ(japan, 755u);
}

TEST(Gazetteer, TypedNamesFindTheirPlacesBestFirst) {
    struct Case {
        const char* typed;
        const char* first;  // Latin name of the best match
        const char* zone;
    };
    const Case cases[] = {
        {"ニューヨーク", "New York", "America/New_York"},
        {"new york", "New York", "America/New_York"},
        {"ＮＥＷ　ＹＯＲＫ", "New York", "America/New_York"},
        {"London", "London", "Europe/London"},  // the most populous London
        {"サンフランシスコ", "San Francisco", "America/Los_Angeles"},
        {"ソウル", "Seoul", "Asia/Seoul"},
        {"札幌", "Sapporo", "Asia/Tokyo"},
    };
    for (const Case& c : cases) {
        const auto found = SearchGazetteer(World(), c.typed, 5);
        ASSERT_FALSE(found.empty()) << c.typed;
        EXPECT_EQ(found.front()->name, c.first) << c.typed;
        EXPECT_EQ(found.front()->zone, c.zone) << c.typed;
    }
    EXPECT_LE(SearchGazetteer(World(), "San", 7).size(), 7u);
    EXPECT_TRUE(SearchGazetteer(World(), "", 5).empty());
    EXPECT_TRUE(SearchGazetteer(World(), "Zzyzxqq", 5).empty());
    // A prefix finds, but only an exact name resolves.
    EXPECT_FALSE(SearchGazetteer(World(), "サンフラ", 5).empty());
    EXPECT_EQ(FindGazetteerPlace(World(), "サンフラ"), nullptr);
}

TEST(Gazetteer, JapanSurveyComesFirstThenTheWorld) {
    std::vector<Birthplace> japan;
    std::string message;
    ASSERT_EQ(LoadBirthplaces(std::string(ZELVARA_DATA_DIR) + "/" + std::string(kBirthplacesFile), japan, message), 0);
    const auto sapporo = FindPlace(japan, World(), "札幌");
    ASSERT_TRUE(sapporo);
    EXPECT_EQ(sapporo->label, "北海道 札幌市");
    EXPECT_TRUE(sapporo->zone.empty());
    const auto newYork = FindPlace(japan, World(), "New York");
    ASSERT_TRUE(newYork);
    EXPECT_EQ(newYork->zone, "America/New_York");
    EXPECT_NEAR(newYork->longitude, -74.006, 0.001);
    EXPECT_EQ(newYork->label, "ニューヨーク（New York, United States of America）");
    // A Japanese city the survey does not have takes Japan's zone, left empty.
    const auto small = FindPlace(japan, World(), "須恵");
    ASSERT_TRUE(small);
    EXPECT_TRUE(small->zone.empty());
    EXPECT_FALSE(FindPlace(japan, World(), "どこにもない町"));
}

TEST(Gazetteer, UnreadableFileIsRefusedWithItsLine) {
    const std::string path = (std::filesystem::temp_directory_path() / "zelvara_gazetteer_test.txt").string();
    const char* bad[] = {
        "# comment\nニューヨーク\tNew York\tNY\tUS\tUSA\tAmerica/New_York\t40.7\t-74.0\n",  // a field short
        "x\tA\tB\tUS\tUSA\tAmerica/New_York\t40.7\t-274.0\t1\n",                            // longitude
        "x\tA\tB\tUS\tUSA\t\t40.7\t-74.0\t1\n",                                             // no zone
        "# only a comment\n",                                                               // no place
    };
    for (const char* text : bad) {
        std::ofstream(path, std::ios::binary) << text;
        std::vector<GazetteerPlace> out(1);
        std::string message;
        EXPECT_EQ(LoadGazetteer(path, out, message), -1) << text;
        EXPECT_NE(message.find(path), std::string::npos) << message;
        EXPECT_EQ(out.size(), 1u) << "nothing is kept";
    }
    std::remove(path.c_str());
    std::vector<GazetteerPlace> out;
    std::string message;
    EXPECT_EQ(LoadGazetteer(path, out, message), -1);
}

}  // namespace
}  // namespace zelvara
