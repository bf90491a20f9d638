// Thirty whole charts worked out by hand from the placement rules, one per
// case, from the year pillar, the month and hour branches, the lunar date and
// the sex: life palace, bureau, body palace, luck direction, the twenty stars
// with their grades, the thirteen additional stars, the four transformations
// and the main star of every palace. The working of each chart is written
// above it; the cases spread over the ten stems, twelve branches, five bureaus
// and both sexes.
#include "engine/luck.h"
#include "engine/palaces.h"
#include "engine/stars.h"

#include <gtest/gtest.h>

#include <string>

namespace zelvara {
namespace {

struct WorkedChart {
    const char* yearPillar;  // stem and branch of the year
    const char* monthBranch;
    const char* hourBranch;
    int lunarMonth, lunarDay;
    char sex;
    const char* lifePalace;
    const char* bureau;
    const char* bodyPalace;
    const char* direction;   // 順 forwards, 逆 backwards
    const char* stars;       // branch of 紫薇 … 陀羅, one character each
    const char* grades;      // grade of 紫薇 … 陀羅
    const char* minors;      // branch of 天存 … 天刑
    const char* transforms;  // carriers of 禄 権 科 忌
    const char* mainStars;   // 父母 … 福徳, －－ for a palace without one of the twenty
};

// Stars and the working use branch names: 子 丑 寅 卯 辰 巳 午 未 申 酉 戌 亥.
// Life palace: the month branch counted back one for every hour after 子.
// Bureau: the stem of the life palace (寅 takes 丙 in 甲/己 years, 戊 in 乙/庚,
// 庚 in 丙/辛, 壬 in 丁/壬, 甲 in 戊/癸, and runs on; 子 丑 repeat 寅 卯) with its
// branch gives a sound element, which names the bureau. 紫薇: borrow days x
// until the bureau's step (水 2, 木 3, 金 4, 土 5, 火 6) divides the lunar day,
// count the quotient from 寅, go back x when x is odd, on x when even.
constexpr WorkedChart kCharts[] = {
    // 甲子 year, 寅 month, 卯 hour, lunar 1/6, male.
    // 命宮 寅月 卯時: 寅 back 3 = 亥
    // 甲 year: 亥 palace stem 乙, 乙亥 山頭火: 火局
    // 紫薇: day 6 + 0 = 6×1, 寅 on 0 = 寅
    // 天府 6 − 3 = 寅
    // 炎星 巳 鈴星 丑 文曲 未 文昌 未; 天存 寅: 羊刃 卯 陀羅 丑
    // 身宮 卯時 + month 1 + 1 = 巳; male, yang stem: 順行
    {"甲子", "寅", "卯", 1, 6, 'M', "亥", "火局", "巳", "順", "寅丑亥戌酉午寅卯辰巳午未申子巳丑未未卯丑",
     "旺失失旺旺失旺失旺失失旺旺旺失失旺旺陥旺", "寅丑未辰戌申申寅丑卯酉丑酉", "廉貞 破軍 武曲 太陽",
     "破軍 太陽 武曲 天同 七殺 天梁 廉貞 巨門 貪狼 太陰 紫薇 天機"},
    // 乙卯 year, 丑 month, 戌 hour, lunar 12/19, female.
    // 命宮 丑月 戌時: 丑 back 10 = 卯
    // 乙 year: 卯 palace stem 己, 己卯 城頭土: 土局
    // 紫薇: day 19 + 1 = 5×4, 巳 back 1 = 辰
    // 天府 6 − 5 = 子
    // 炎星 未 鈴星 申 文曲 寅 文昌 子; 天存 卯: 羊刃 辰 陀羅 寅
    // 身宮 戌時 + month 12 + 1 = 亥; female, yin stem: 順行
    {"乙卯", "丑", "戌", 12, 19, 'F', "卯", "土局", "亥", "順", "辰卯丑子亥申子丑寅卯辰巳午戌未申寅子辰寅",
     "旺旺旺旺旺旺旺旺失旺旺失旺旺旺陥失廟旺陥", "卯子申卯亥亥丑酉辰子午子申", "天機 天梁 紫薇 太陰",
     "紫薇 天機 貪狼 太陽 武曲 天同 破軍 －－ 廉貞 炎星 七殺 天梁"},
    // 丙辰 year, 子 month, 巳 hour, lunar 11/2, male.
    // 命宮 子月 巳時: 子 back 5 = 未
    // 丙 year: 未 palace stem 乙, 乙未 沙中金: 金局
    // 紫薇: day 2 + 2 = 4×1, 寅 on 2 = 辰
    // 天府 6 − 5 = 子
    // 炎星 未 鈴星 卯 文曲 酉 文昌 巳; 天存 巳: 羊刃 午 陀羅 辰
    // 身宮 巳時 + month 11 + 1 = 巳; male, yang stem: 順行
    {"丙辰", "子", "巳", 11, 2, 'M', "未", "金局", "巳", "順", "辰卯丑子亥申子丑寅卯辰巳午戌未卯酉巳午辰",
     "旺旺旺旺旺旺旺旺失旺旺失旺旺旺失旺旺陥旺", "巳亥酉寅子寅午辰巳亥巳亥未", "天同 天機 文昌 廉貞",
     "廉貞 炎星 七殺 天梁 紫薇 天機 貪狼 太陽 武曲 天同 破軍 文曲"},
    // 丁未 year, 亥 month, 子 hour, lunar 10/15, female.
    // 命宮 亥月 子時: 亥 back 0 = 亥
    // 丁 year: 亥 palace stem 辛, 辛亥 釵釧金: 金局
    // 紫薇: day 15 + 1 = 4×4, 巳 back 1 = 辰
    // 天府 6 − 5 = 子
    // 炎星 酉 鈴星 戌 文曲 辰 文昌 戌; 天存 午: 羊刃 未 陀羅 巳
    // 身宮 子時 + month 10 + 1 = 亥; female, yin stem: 順行
    {"丁未", "亥", "子", 10, 15, 'F', "亥", "金局", "亥", "順", "辰卯丑子亥申子丑寅卯辰巳午戌酉戌辰戌未巳",
     "旺旺旺旺旺旺旺旺失旺旺失旺旺失旺廟失旺陥", "午酉亥丑丑巳亥亥申申寅戌午", "太陰 天同 天機 巨門",
     "武曲 天同 破軍 炎星 廉貞 羊刃 七殺 天梁 紫薇 天機 貪狼 太陽"},
    // 戊申 year, 戌 month, 未 hour, lunar 9/28, male.
    // 命宮 戌月 未時: 戌 back 7 = 卯
    // 戊 year: 卯 palace stem 乙, 乙卯 大渓水: 水局
    // 紫薇: day 28 + 0 = 2×14, 卯 on 0 = 卯
    // 天府 6 − 4 = 丑
    // 炎星 酉 鈴星 巳 文曲 亥 文昌 卯; 天存 巳: 羊刃 午 陀羅 辰
    // 身宮 未時 + month 9 + 1 = 巳; male, yang stem: 順行
    {"戊申", "戌", "未", 9, 28, 'M', "卯", "水局", "巳", "順", "卯寅子亥戌未丑寅卯辰巳午未亥酉巳亥卯午辰",
     "失失失失旺旺廟失失失旺廟旺失失失旺旺陥旺", "巳未丑子寅申辰午酉未丑酉巳", "貪狼 太陰 太陽 天機",
     "巨門 紫薇 天機 天府 太陽 武曲 天同 炎星 －－ 廉貞 天梁 天相"},
    // 己亥 year, 酉 month, 寅 hour, lunar 8/11, female.
    // 命宮 酉月 寅時: 酉 back 2 = 未
    // 己 year: 未 palace stem 辛, 辛未 路傍土: 土局
    // 紫薇: day 11 + 4 = 5×3, 辰 on 4 = 申
    // 天府 6 − 9 = 申
    // 炎星 亥 鈴星 子 文曲 午 文昌 申; 天存 午: 羊刃 未 陀羅 巳
    // 身宮 寅時 + month 8 + 1 = 亥; female, yin stem: 順行
    {"己亥", "酉", "寅", 8, 11, 'F', "未", "土局", "亥", "順", "申未巳辰卯子申酉戌亥子丑寅午亥子午申未巳",
     "旺失廟旺旺失旺廟旺失失旺旺旺失陥失廟旺陥", "午申子亥卯亥酉丑子辰戌申辰", "武曲 貪狼 天梁 文曲",
     "紫薇 天機 破軍 太陽 武曲 天同 七殺 天梁 廉貞 巨門 貪狼 太陰"},
    // 庚子 year, 申 month, 酉 hour, lunar 7/24, male.
    // 命宮 申月 酉時: 申 back 9 = 亥
    // 庚 year: 亥 palace stem 丁, 丁亥 屋上土: 土局
    // 紫薇: day 24 + 1 = 5×5, 午 back 1 = 巳
    // 天府 6 − 6 = 亥
    // 炎星 亥 鈴星 未 文曲 丑 文昌 丑; 天存 申: 羊刃 酉 陀羅 未
    // 身宮 酉時 + month 7 + 1 = 巳; male, yang stem: 順行
    {"庚子", "申", "酉", 7, 24, 'M', "亥", "土局", "巳", "順", "巳辰寅丑子酉亥子丑寅卯辰巳酉亥未丑丑酉未",
     "旺旺旺旺廟陥旺廟旺旺失旺旺陥失旺旺旺陥旺", "申未丑戌辰寅寅申丑卯酉未卯", "太陽 武曲 天府 天同",
     "天同 天府 －－ 廉貞 －－ 鈴星 －－ 紫薇 天機 天相 太陽 武曲"},
    // 辛卯 year, 未 month, 辰 hour, lunar 6/7, female.
    // 命宮 未月 辰時: 未 back 4 = 卯
    // 辛 year: 卯 palace stem 辛, 辛卯 松柏木: 木局
    // 紫薇: day 7 + 2 = 3×3, 辰 on 2 = 午
    // 天府 6 − 7 = 戌
    // 炎星 丑 鈴星 寅 文曲 申 文昌 午; 天存 酉: 羊刃 戌 陀羅 申
    // 身宮 辰時 + month 6 + 1 = 亥; female, yin stem: 順行
    {"辛卯", "未", "辰", 6, 7, 'F', "卯", "木局", "亥", "順", "午巳卯寅丑戌戌亥子丑寅卯辰申丑寅申午戌申",
     "廟失廟旺失旺旺廟旺失旺廟旺陥失旺廟失旺陥", "酉午寅酉巳巳未卯辰子午午寅", "巨門 太陽 文曲 文昌",
     "七殺 太陽 武曲 天同 貪狼 太陰 廉貞 －－ 破軍 －－ 紫薇 天機"},
    // 壬辰 year, 午 month, 亥 hour, lunar 5/20, male.
    // 命宮 午月 亥時: 午 back 11 = 未
    // 壬 year: 未 palace stem 丁, 丁未 天河水: 水局
    // 紫薇: day 20 + 0 = 2×10, 亥 on 0 = 亥
    // 天府 6 − 12 = 巳
    // 炎星 丑 鈴星 酉 文曲 卯 文昌 亥; 天存 亥: 羊刃 子 陀羅 戌
    // 身宮 亥時 + month 5 + 1 = 巳; male, yang stem: 順行
    {"壬辰", "午", "亥", 5, 20, 'M', "未", "水局", "巳", "順", "亥戌申未午卯巳午未申酉戌亥卯丑酉卯亥子戌",
     "旺旺失旺失陥旺失旺失失旺旺陥失失旺旺陥旺", "亥巳卯申午申子戌巳亥巳巳丑", "天梁 紫薇 天府 武曲",
     "太陽 武曲 天同 天府 －－ 廉貞 －－ 炎星 羊刃 紫薇 天機 天相"},
    // 癸未 year, 巳 month, 午 hour, lunar 4/3, female.
    // 命宮 巳月 午時: 巳 back 6 = 亥
    // 癸 year: 亥 palace stem 癸, 癸亥 大海水: 水局
    // 紫薇: day 3 + 1 = 2×2, 卯 back 1 = 寅
    // 天府 6 − 3 = 寅
    // 炎星 卯 鈴星 辰 文曲 戌 文昌 辰; 天存 子: 羊刃 丑 陀羅 亥
    // 身宮 午時 + month 4 + 1 = 亥; female, yin stem: 順行
    {"癸未", "巳", "午", 4, 3, 'F', "亥", "水局", "亥", "順", "寅丑亥戌酉午寅卯辰巳午未申子卯辰戌辰丑亥",
     "旺失失旺旺失旺失旺失失旺旺旺失陥失廟旺陥", "子卯巳未未亥巳巳申申寅辰子", "破軍 巨門 太陰 貪狼",
     "破軍 太陽 武曲 天同 七殺 天梁 廉貞 巨門 貪狼 太陰 紫薇 天機"},
    // 甲申 year, 辰 month, 丑 hour, lunar 3/16, female.
    // 命宮 辰月 丑時: 辰 back 1 = 卯
    // 甲 year: 卯 palace stem 丁, 丁卯 爐中火: 火局
    // 紫薇: day 16 + 2 = 6×3, 辰 on 2 = 午
    // 天府 6 − 7 = 戌
    // 炎星 卯 鈴星 亥 文曲 巳 文昌 酉; 天存 寅: 羊刃 卯 陀羅 丑
    // 身宮 丑時 + month 3 + 1 = 巳; female, yang stem: 逆行
    {"甲申", "辰", "丑", 3, 16, 'F', "卯", "火局", "巳", "逆", "午巳卯寅丑戌戌亥子丑寅卯辰申卯亥巳酉卯丑",
     "廟失廟旺失旺旺廟旺失旺廟旺陥失失旺旺陥旺", "寅丑未午申寅戌子酉未丑卯亥", "廉貞 破軍 武曲 太陽",
     "七殺 太陽 武曲 天同 貪狼 太陰 廉貞 文昌 破軍 －－ 紫薇 天機"},
    // 乙亥 year, 卯 month, 申 hour, lunar 2/29, male.
    // 命宮 卯月 申時: 卯 back 8 = 未
    // 乙 year: 未 palace stem 癸, 癸未 楊柳木: 木局
    // 紫薇: day 29 + 1 = 3×10, 亥 back 1 = 戌
    // 天府 6 − 11 = 午
    // 炎星 巳 鈴星 午 文曲 子 文昌 寅; 天存 卯: 羊刃 辰 陀羅 寅
    // 身宮 申時 + month 2 + 1 = 亥; male, yin stem: 逆行
    {"乙亥", "卯", "申", 2, 29, 'M', "未", "木局", "亥", "逆", "戌酉未午巳寅午未申酉戌亥子辰巳午子寅辰寅",
     "旺旺旺旺旺旺旺旺失旺旺失旺旺失旺廟失旺陥", "卯子申巳酉巳卯未子辰戌寅戌", "天機 天梁 紫薇 太陰",
     "貪狼 太陽 武曲 天同 破軍 －－ 廉貞 －－ 七殺 天梁 紫薇 天機"},
    // 丙子 year, 寅 month, 卯 hour, lunar 1/12, female.
    // 命宮 寅月 卯時: 寅 back 3 = 亥
    // 丙 year: 亥 palace stem 己, 己亥 平地木: 木局
    // 紫薇: day 12 + 0 = 3×4, 巳 on 0 = 巳
    // 天府 6 − 6 = 亥
    // 炎星 巳 鈴星 丑 文曲 未 文昌 未; 天存 巳: 羊刃 午 陀羅 辰
    // 身宮 卯時 + month 1 + 1 = 巳; female, yang stem: 逆行
    {"丙子", "寅", "卯", 1, 12, 'F', "亥", "木局", "巳", "逆", "巳辰寅丑子酉亥子丑寅卯辰巳酉巳丑未未午辰",
     "旺旺旺旺廟陥旺廟旺旺失旺旺陥失失旺旺陥旺", "巳亥酉辰戌申申寅丑卯酉丑酉", "天同 天機 文昌 廉貞",
     "天同 天府 －－ 廉貞 －－ 文曲 羊刃 紫薇 天機 天相 太陽 武曲"},
    // 丁卯 year, 丑 month, 戌 hour, lunar 12/25, male.
    // 命宮 丑月 戌時: 丑 back 10 = 卯
    // 丁 year: 卯 palace stem 癸, 癸卯 金箔金: 金局
    // 紫薇: day 25 + 3 = 4×7, 申 back 3 = 巳
    // 天府 6 − 6 = 亥
    // 炎星 未 鈴星 申 文曲 寅 文昌 子; 天存 午: 羊刃 未 陀羅 巳
    // 身宮 戌時 + month 12 + 1 = 亥; male, yin stem: 逆行
    {"丁卯", "丑", "戌", 12, 25, 'M', "卯", "金局", "亥", "逆", "巳辰寅丑子酉亥子丑寅卯辰巳酉未申寅子未巳",
     "旺旺旺旺廟陥旺廟旺旺失旺旺陥旺陥失廟旺陥", "午酉亥卯亥亥丑酉辰子午子申", "太陰 天同 天機 巨門",
     "天機 天相 太陽 武曲 天同 天府 －－ 廉貞 鈴星 炎星 －－ 紫薇"},
    // 戊辰 year, 子 month, 巳 hour, lunar 11/8, female.
    // 命宮 子月 巳時: 子 back 5 = 未
    // 戊 year: 未 palace stem 己, 己未 天上火: 火局
    // 紫薇: day 8 + 4 = 6×2, 卯 on 4 = 未
    // 天府 6 − 8 = 酉
    // 炎星 未 鈴星 卯 文曲 酉 文昌 巳; 天存 巳: 羊刃 午 陀羅 辰
    // 身宮 巳時 + month 11 + 1 = 巳; female, yang stem: 逆行
    {"戊辰", "子", "巳", 11, 8, 'F', "未", "火局", "巳", "逆", "未午辰卯寅亥酉戌亥子丑寅卯未未卯酉巳午辰",
     "失廟廟旺旺陥旺廟陥旺廟旺旺失旺失旺旺陥旺", "巳未丑寅子寅午辰巳亥巳亥未", "貪狼 太陰 太陽 天機",
     "－－ 紫薇 天機 文昌 太陽 武曲 天同 天相 巨門 廉貞 太陰 天府"},
    // 己未 year, 亥 month, 子 hour, lunar 10/21, male.
    // 命宮 亥月 子時: 亥 back 0 = 亥
    // 己 year: 亥 palace stem 乙, 乙亥 山頭火: 火局
    // 紫薇: day 21 + 3 = 6×4, 巳 back 3 = 寅
    // 天府 6 − 3 = 寅
    // 炎星 酉 鈴星 戌 文曲 辰 文昌 戌; 天存 午: 羊刃 未 陀羅 巳
    // 身宮 子時 + month 10 + 1 = 亥; male, yin stem: 逆行
    {"己未", "亥", "子", 10, 21, 'M', "亥", "火局", "亥", "逆", "寅丑亥戌酉午寅卯辰巳午未申子酉戌辰戌未巳",
     "旺失失旺旺失旺失旺失失旺旺旺失旺廟失旺陥", "午申子丑丑巳亥亥申申寅戌午", "武曲 貪狼 天梁 文曲",
     "破軍 太陽 武曲 天同 七殺 天梁 廉貞 巨門 貪狼 太陰 紫薇 天機"},
    // 庚申 year, 戌 month, 未 hour, lunar 9/4, female.
    // 命宮 戌月 未時: 戌 back 7 = 卯
    // 庚 year: 卯 palace stem 己, 己卯 城頭土: 土局
    // 紫薇: day 4 + 1 = 5×1, 寅 back 1 = 丑
    // 天府 6 − 2 = 卯
    // 炎星 酉 鈴星 巳 文曲 亥 文昌 卯; 天存 申: 羊刃 酉 陀羅 未
    // 身宮 未時 + month 9 + 1 = 巳; female, yang stem: 逆行
    {"庚申", "戌", "未", 9, 4, 'F', "卯", "土局", "巳", "逆", "丑子戌酉申巳卯辰巳午未申酉丑酉巳亥卯酉未",
     "失廟失旺失陥旺失陥旺旺失旺失失失旺旺陥旺", "申未丑子寅申辰午酉未丑酉巳", "太陽 武曲 天府 天同",
     "太陰 天府 －－ 紫薇 天機 文曲 太陽 武曲 天同 天相 巨門 廉貞"},
    // 辛亥 year, 酉 month, 寅 hour, lunar 8/17, male.
    // 命宮 酉月 寅時: 酉 back 2 = 未
    // 辛 year: 未 palace stem 乙, 乙未 沙中金: 金局
    // 紫薇: day 17 + 3 = 4×5, 午 back 3 = 卯
    // 天府 6 − 4 = 丑
    // 炎星 亥 鈴星 子 文曲 午 文昌 申; 天存 酉: 羊刃 戌 陀羅 申
    // 身宮 寅時 + month 8 + 1 = 亥; male, yin stem: 逆行
    {"辛亥", "酉", "寅", 8, 17, 'M', "未", "金局", "亥", "逆", "卯寅子亥戌未丑寅卯辰巳午未亥亥子午申戌申",
     "失失失失旺旺廟失失失旺廟旺失失陥失廟旺陥", "酉午寅亥卯亥酉丑子辰戌申辰", "巨門 太陽 文曲 文昌",
     "文昌 廉貞 天梁 天相 巨門 紫薇 天機 天府 太陽 武曲 天同 －－"},
    // 壬子 year, 申 month, 酉 hour, lunar 7/30, female.
    // 命宮 申月 酉時: 申 back 9 = 亥
    // 壬 year: 亥 palace stem 辛, 辛亥 釵釧金: 金局
    // 紫薇: day 30 + 2 = 4×8, 酉 on 2 = 亥
    // 天府 6 − 12 = 巳
    // 炎星 亥 鈴星 未 文曲 丑 文昌 丑; 天存 亥: 羊刃 子 陀羅 戌
    // 身宮 酉時 + month 7 + 1 = 巳; female, yang stem: 逆行
    {"壬子", "申", "酉", 7, 30, 'F', "亥", "金局", "巳", "逆", "亥戌申未午卯巳午未申酉戌亥卯亥未丑丑子戌",
     "旺旺失旺失陥旺失旺失失旺旺陥失旺旺旺陥旺", "亥巳卯戌辰寅寅申丑卯酉未卯", "天梁 紫薇 天府 武曲",
     "羊刃 紫薇 天機 天相 太陽 武曲 天同 天府 －－ 廉貞 －－ 文曲"},
    // 癸卯 year, 未 month, 辰 hour, lunar 6/13, male.
    // 命宮 未月 辰時: 未 back 4 = 卯
    // 癸 year: 卯 palace stem 乙, 乙卯 大渓水: 水局
    // 紫薇: day 13 + 1 = 2×7, 申 back 1 = 未
    // 天府 6 − 8 = 酉
    // 炎星 丑 鈴星 寅 文曲 申 文昌 午; 天存 子: 羊刃 丑 陀羅 亥
    // 身宮 辰時 + month 6 + 1 = 亥; male, yin stem: 逆行
    {"癸卯", "未", "辰", 6, 13, 'M', "卯", "水局", "亥", "逆", "未午辰卯寅亥酉戌亥子丑寅卯未丑寅申午丑亥",
     "失廟廟旺旺陥旺廟陥旺廟旺旺失失旺廟失旺陥", "子卯巳酉巳巳未卯辰子午午寅", "破軍 巨門 太陰 貪狼",
     "太陽 武曲 天同 天相 巨門 廉貞 太陰 天府 文曲 紫薇 天機 －－"},
    // 甲辰 year, 午 month, 亥 hour, lunar 5/26, male.
    // 命宮 午月 亥時: 午 back 11 = 未
    // 甲 year: 未 palace stem 辛, 辛未 路傍土: 土局
    // 紫薇: day 26 + 4 = 5×6, 未 on 4 = 亥
    // 天府 6 − 12 = 巳
    // 炎星 丑 鈴星 酉 文曲 卯 文昌 亥; 天存 寅: 羊刃 卯 陀羅 丑
    // 身宮 亥時 + month 5 + 1 = 巳; male, yang stem: 順行
    {"甲辰", "午", "亥", 5, 26, 'M', "未", "土局", "巳", "順", "亥戌申未午卯巳午未申酉戌亥卯丑酉卯亥卯丑",
     "旺旺失旺失陥旺失旺失失旺旺陥失失旺旺陥旺", "寅丑未申午申子戌巳亥巳巳丑", "廉貞 破軍 武曲 太陽",
     "太陽 武曲 天同 天府 －－ 廉貞 －－ 炎星 －－ 紫薇 天機 天相"},
    // 乙未 year, 巳 month, 午 hour, lunar 4/9, female.
    // 命宮 巳月 午時: 巳 back 6 = 亥
    // 乙 year: 亥 palace stem 丁, 丁亥 屋上土: 土局
    // 紫薇: day 9 + 1 = 5×2, 卯 back 1 = 寅
    // 天府 6 − 3 = 寅
    // 炎星 卯 鈴星 辰 文曲 戌 文昌 辰; 天存 卯: 羊刃 辰 陀羅 寅
    // 身宮 午時 + month 4 + 1 = 亥; female, yin stem: 順行
    {"乙未", "巳", "午", 4, 9, 'F', "亥", "土局", "亥", "順", "寅丑亥戌酉午寅卯辰巳午未申子卯辰戌辰辰寅",
     "旺失失旺旺失旺失旺失失旺旺旺失陥失廟旺陥", "卯子申未未亥巳巳申申寅辰子", "天機 天梁 紫薇 太陰",
     "破軍 太陽 武曲 天同 七殺 天梁 廉貞 巨門 貪狼 太陰 紫薇 天機"},
    // 丙申 year, 辰 month, 丑 hour, lunar 3/22, male.
    // 命宮 辰月 丑時: 辰 back 1 = 卯
    // 丙 year: 卯 palace stem 辛, 辛卯 松柏木: 木局
    // 紫薇: day 22 + 2 = 3×8, 酉 on 2 = 亥
    // 天府 6 − 12 = 巳
    // 炎星 卯 鈴星 亥 文曲 巳 文昌 酉; 天存 巳: 羊刃 午 陀羅 辰
    // 身宮 丑時 + month 3 + 1 = 巳; male, yang stem: 順行
    {"丙申", "辰", "丑", 3, 22, 'M', "卯", "木局", "巳", "順", "亥戌申未午卯巳午未申酉戌亥卯卯亥巳酉午辰",
     "旺旺失旺失陥旺失旺失失旺旺陥失失旺旺陥旺", "巳亥酉午申寅戌子酉未丑卯亥", "天同 天機 文昌 廉貞",
     "陀羅 廉貞 －－ －－ －－ 紫薇 天機 天相 太陽 武曲 天同 天府"},
    // 丁亥 year, 卯 month, 申 hour, lunar 2/5, female.
    // 命宮 卯月 申時: 卯 back 8 = 未
    // 丁 year: 未 palace stem 丁, 丁未 天河水: 水局
    // 紫薇: day 5 + 1 = 2×3, 辰 back 1 = 卯
    // 天府 6 − 4 = 丑
    // 炎星 巳 鈴星 午 文曲 子 文昌 寅; 天存 午: 羊刃 未 陀羅 巳
    // 身宮 申時 + month 2 + 1 = 亥; female, yin stem: 順行
    {"丁亥", "卯", "申", 2, 5, 'F', "未", "水局", "亥", "順", "卯寅子亥戌未丑寅卯辰巳午未亥巳午子寅未巳",
     "失失失失旺旺廟失失失旺廟旺失失旺廟失旺陥", "午酉亥巳酉巳卯未子辰戌寅戌", "太陰 天同 天機 巨門",
     "－－ 廉貞 天梁 天相 巨門 紫薇 天機 天府 太陽 武曲 天同 －－"},
    // 戊子 year, 寅 month, 卯 hour, lunar 1/18, male.
    // 命宮 寅月 卯時: 寅 back 3 = 亥
    // 戊 year: 亥 palace stem 癸, 癸亥 大海水: 水局
    // 紫薇: day 18 + 0 = 2×9, 戌 on 0 = 戌
    // 天府 6 − 11 = 午
    // 炎星 巳 鈴星 丑 文曲 未 文昌 未; 天存 巳: 羊刃 午 陀羅 辰
    // 身宮 卯時 + month 1 + 1 = 巳; male, yang stem: 順行
    {"戊子", "寅", "卯", 1, 18, 'M', "亥", "水局", "巳", "順", "戌酉未午巳寅午未申酉戌亥子辰巳丑未未午辰",
     "旺旺旺旺旺旺旺旺失旺旺失旺旺失失旺旺陥旺", "巳未丑辰戌申申寅丑卯酉丑酉", "貪狼 太陰 太陽 天機",
     "七殺 天梁 紫薇 天機 貪狼 太陽 武曲 天同 破軍 －－ 廉貞 鈴星"},
    // 己卯 year, 丑 month, 戌 hour, lunar 12/1, female.
    // 命宮 丑月 戌時: 丑 back 10 = 卯
    // 己 year: 卯 palace stem 丁, 丁卯 爐中火: 火局
    // 紫薇: day 1 + 5 = 6×1, 寅 back 5 = 酉
    // 天府 6 − 10 = 未
    // 炎星 未 鈴星 申 文曲 寅 文昌 子; 天存 午: 羊刃 未 陀羅 巳
    // 身宮 戌時 + month 12 + 1 = 亥; female, yin stem: 順行
    {"己卯", "丑", "戌", 12, 1, 'F', "卯", "火局", "亥", "順", "酉申午巳辰丑未申酉戌亥子丑巳未申寅子未巳",
     "失旺廟失旺旺廟旺失失旺廟旺失旺陥失廟旺陥", "午申子卯亥亥丑酉辰子午子申", "武曲 貪狼 天梁 文曲",
     "天同 －－ 文曲 廉貞 天梁 天相 巨門 紫薇 天機 天府 太陽 武曲"},
    // 庚辰 year, 子 month, 巳 hour, lunar 11/14, male.
    // 命宮 子月 巳時: 子 back 5 = 未
    // 庚 year: 未 palace stem 癸, 癸未 楊柳木: 木局
    // 紫薇: day 14 + 1 = 3×5, 午 back 1 = 巳
    // 天府 6 − 6 = 亥
    // 炎星 未 鈴星 卯 文曲 酉 文昌 巳; 天存 申: 羊刃 酉 陀羅 未
    // 身宮 巳時 + month 11 + 1 = 巳; male, yang stem: 順行
    {"庚辰", "子", "巳", 11, 14, 'M', "未", "木局", "巳", "順", "巳辰寅丑子酉亥子丑寅卯辰巳酉未卯酉巳酉未",
     "旺旺旺旺廟陥旺廟旺旺失旺旺陥旺失旺旺陥旺", "申未丑寅子寅午辰巳亥巳亥未", "太陽 武曲 天府 天同",
     "－－ 炎星 －－ 紫薇 天機 天相 太陽 武曲 天同 天府 －－ 廉貞"},
    // 辛未 year, 亥 month, 子 hour, lunar 10/27, female.
    // 命宮 亥月 子時: 亥 back 0 = 亥
    // 辛 year: 亥 palace stem 己, 己亥 平地木: 木局
    // 紫薇: day 27 + 0 = 3×9, 戌 on 0 = 戌
    // 天府 6 − 11 = 午
    // 炎星 酉 鈴星 戌 文曲 辰 文昌 戌; 天存 酉: 羊刃 戌 陀羅 申
    // 身宮 子時 + month 10 + 1 = 亥; female, yin stem: 順行
    {"辛未", "亥", "子", 10, 27, 'F', "亥", "木局", "亥", "順", "戌酉未午巳寅午未申酉戌亥子辰酉戌辰戌戌申",
     "旺旺旺旺旺旺旺旺失旺旺失旺旺失旺廟失旺陥", "酉午寅丑丑巳亥亥申申寅戌午", "巨門 太陽 文曲 文昌",
     "七殺 天梁 紫薇 天機 貪狼 太陽 武曲 天同 破軍 －－ 廉貞 －－"},
    // 壬申 year, 戌 month, 未 hour, lunar 9/10, male.
    // 命宮 戌月 未時: 戌 back 7 = 卯
    // 壬 year: 卯 palace stem 癸, 癸卯 金箔金: 金局
    // 紫薇: day 10 + 2 = 4×3, 辰 on 2 = 午
    // 天府 6 − 7 = 戌
    // 炎星 酉 鈴星 巳 文曲 亥 文昌 卯; 天存 亥: 羊刃 子 陀羅 戌
    // 身宮 未時 + month 9 + 1 = 巳; male, yang stem: 順行
    {"壬申", "戌", "未", 9, 10, 'M', "卯", "金局", "巳", "順", "午巳卯寅丑戌戌亥子丑寅卯辰申酉巳亥卯子戌",
     "廟失廟旺失旺旺廟旺失旺廟旺陥失失旺旺陥旺", "亥巳卯子寅申辰午酉未丑酉巳", "天梁 紫薇 天府 武曲",
     "七殺 太陽 武曲 天同 貪狼 太陰 廉貞 炎星 破軍 －－ 紫薇 天機"},
    // 癸亥 year, 酉 month, 寅 hour, lunar 8/23, female.
    // 命宮 酉月 寅時: 酉 back 2 = 未
    // 癸 year: 未 palace stem 己, 己未 天上火: 火局
    // 紫薇: day 23 + 1 = 6×4, 巳 back 1 = 辰
    // 天府 6 − 5 = 子
    // 炎星 亥 鈴星 子 文曲 午 文昌 申; 天存 子: 羊刃 丑 陀羅 亥
    // 身宮 寅時 + month 8 + 1 = 亥; female, yin stem: 順行
    {"癸亥", "酉", "寅", 8, 23, 'F', "未", "火局", "亥", "順", "辰卯丑子亥申子丑寅卯辰巳午戌亥子午申丑亥",
     "旺旺旺旺旺旺旺旺失旺旺失旺旺失陥失廟旺陥", "子卯巳亥卯亥酉丑子辰戌申辰", "破軍 巨門 太陰 貪狼",
     "廉貞 －－ 七殺 天梁 紫薇 天機 貪狼 太陽 武曲 天同 破軍 －－"},

};

int Index(std::string_view names, std::string_view one) {
    for (size_t i = 0, n = 1; i < names.size(); i += 3, ++n)
        if (names.substr(i, 3) == one) return static_cast<int>(n);
    return 0;
}

constexpr std::string_view kStems = "甲乙丙丁戊己庚辛壬癸";
constexpr std::string_view kBranchChars = "子丑寅卯辰巳午未申酉戌亥";

int BranchOf(std::string_view name) { return Index(kBranchChars, name); }

std::string BranchText(int b) { return b >= 1 && b <= 12 ? std::string(kBranchNames[b]) : "？"; }

class WholeCharts : public ::testing::TestWithParam<WorkedChart> {};

TEST_P(WholeCharts, WorkedByHand) {
    const WorkedChart& c = GetParam();
    const std::string_view pillar = c.yearPillar;
    Tmandata man;
    man.stems.year = Index(kStems, pillar.substr(0, 3));
    man.branches.year = BranchOf(pillar.substr(3, 3));
    man.branches.month = BranchOf(c.monthBranch);
    man.branches.hour = BranchOf(c.hourBranch);
    man.lunarMonth = c.lunarMonth;
    man.lunarDay = c.lunarDay;
    man.sexCode = c.sex;
    ASSERT_EQ(PlaceStars(man), 0);
    FindMainStars(man);

    EXPECT_EQ(BranchText(man.palaceBranch[kLifePalace]), c.lifePalace);
    EXPECT_EQ(kBureauNames[man.bureau - 1], c.bureau);
    EXPECT_EQ(BranchText(man.bodyPalace), c.bodyPalace);
    EXPECT_EQ(LuckDirection(man.sexCode, man.stems.year) == 0 ? "順" : "逆", std::string(c.direction));
    std::string stars, grades, minors, transforms, mains;
    for (int s = 1; s <= kStars; ++s) {
        stars += BranchText(man.starBranch[s]);
        grades += man.brightness[s] >= 1 && man.brightness[s] <= 4 ? kBrightnessNames[man.brightness[s]] : "？";
    }
    for (int s = 1; s <= kMinorStars; ++s) minors += BranchText(man.minorBranch[s]);
    for (int t = 1; t <= kTransforms; ++t)
        transforms += std::string(t > 1 ? " " : "") + std::string(kStarShortNames[man.transformStar[t]]);
    for (int p = 1; p <= kPalaces; ++p)
        mains +=
            std::string(p > 1 ? " " : "") + (man.mainStar[p] ? std::string(kStarShortNames[man.mainStar[p]]) : "－－");
    EXPECT_EQ(stars, c.stars);
    EXPECT_EQ(grades, c.grades);
    EXPECT_EQ(minors, c.minors);
    EXPECT_EQ(transforms, c.transforms);
    EXPECT_EQ(mains, c.mainStars);
}

INSTANTIATE_TEST_SUITE_P(Placement, WholeCharts, ::testing::ValuesIn(kCharts));

}  // namespace
}  // namespace zelvara
