#include "engine/zelvara.h"

namespace zelvara {

const std::array<std::string_view, kStems + 1> kStemNames = {"  ", "甲", "乙", "丙", "丁", "戊",
                                                             "己", "庚", "辛", "壬", "癸"};

const std::array<std::string_view, kBranches + 1> kBranchNames = {"  ", "子", "丑", "寅", "卯", "辰", "巳",
                                                                  "午", "未", "申", "酉", "戌", "亥"};

const std::array<std::string_view, kHours> kHourPeriodTexts = {
    "23:00-01:00", "01:00-03:00", "03:00-05:00", "05:00-07:00", "07:00-09:00", "09:00-11:00",
    "11:00-13:00", "13:00-15:00", "15:00-17:00", "17:00-19:00", "19:00-21:00", "21:00-23:00"};

const std::array<std::string_view, kPalaces + 1> kPalaceNames = {"",     "父母", "命宮", "兄弟", "夫妻", "子女", "財帛",
                                                                 "疾厄", "遷移", "奴僕", "官禄", "田宅", "福徳"};

const std::array<std::string_view, kStars + 1> kStarShortNames = {
    "",     "紫薇", "天機", "太陽", "武曲", "天同", "廉貞", "天府", "太陰", "貪狼", "巨門",
    "天相", "天梁", "七殺", "破軍", "炎星", "鈴星", "文曲", "文昌", "羊刃", "陀羅"};

const std::array<std::string_view, kStars + 1> kStarLongNames = {
    "",       "紫薇星", "天機星", "太陽星", "武曲星", "天同星", "廉貞星", "天府星", "太陰星", "貪狼星", "巨門星",
    "天相星", "天梁星", "七殺星", "破軍星", "炎星",   "鈴星",   "文曲星", "文昌星", "羊刃星", "陀羅星"};

const std::array<std::string_view, kStars + 1> kStarKeywordLines = {
    "",
    "尊貴・皇太子",
    "智能・仙人・精神",
    "勇気・迫力・公明盛大",
    "武将・財産・博愛主義",
    "平安・愛情・易学者",
    "賄賂・邪悪・妖臣",
    "才能・慈愛・富",
    "処女・貞節・潔白",
    "欲望・色欲・淫乱",
    "弁舌・猜疑心・干渉",
    "奉仕・服務・慈愛",
    "統率・指導・大将軍",
    "激怒・威厳・正義",
    "破損・破壊の王",
    "素早い行動・即決主義",
    "素早い行動・即決主義",
    "物書き・温厚・優雅",
    "物書き・温厚・優雅",
    "残忍・冷徹・勇敢",
    "残忍・冷徹・勇敢",
};

// The blank in line 1 is an ordinary space; every other blank is U+3000.
const std::array<std::string_view, kStars + 1> kStarPartnerLines = {
    "",
    "◎天相星・天府星 △武曲星・七殺星",
    "◎太陽星・天梁星・紫薇星・天府星・文昌星",
    "◎太陰星・紫薇星・天同星・天相星　",
    "◎天府星・天相星・文昌星　△貪狼星",
    "◎紫薇星・太陽星・天梁星・文昌星",
    "◎天府星・七殺星　×破軍星・貪狼星",
    "◎紫薇星・太陽星　×天梁星　破軍星・七殺星",
    "◎太陽星　特に相性の悪い星なし",
    "◎武曲星　×紫薇星",
    "◎紫薇星・武曲星　×天同星・廉貞星",
    "◎紫薇星・武曲星　×廉貞星",
    "◎天機星　×貪狼星・破軍星",
    "◎紫薇星、武曲星　×貪狼星・破軍星",
    "◎太陽星　パートナー選びは困難",
    "◎貪狼星　×破軍星",
    "◎貪狼星　×破軍星",
    "◎武曲星・天同星　×巨門星",
    "◎武曲星・天同星　×巨門星",
    "◎パートナー探しは大困難（文曲・文昌）",
    "◎パートナー探しは大困難（文曲・文昌）",
};

const std::array<std::string_view, kStars> kStarPictureFiles = {
    "zelvsei.bmp", "tenkisei.bmp", "taiyo.bmp",   "bugoku.bmp", "tendo.bmp",  "rentei.bmp",   "tenpu.bmp",
    "taiin.bmp",   "tanro.bmp",    "kyomon.bmp",  "tenso.bmp",  "tenryo.bmp", "sitisatu.bmp", "hagun.bmp",
    "ensei.bmp",   "reisei.bmp",   "mongoku.bmp", "monjyo.bmp", "yojin.bmp",  "dara.bmp"};

const std::array<std::string_view, kMinorStars + 1> kMinorShortNames = {
    "", "天存", "天魁", "天鉞", "左輔", "右弼", "駅馬", "天空", "地劫", "天耗", "紅鸞", "天喜", "天姚", "天刑"};

const std::array<std::string_view, kMinorStars + 1> kMinorLongNames = {"",       "天存星", "天魁星", "天鉞星", "左輔星",
                                                                       "右弼星", "駅馬星", "天空星", "地劫星", "天耗星",
                                                                       "紅鸞星", "天喜星", "天姚星", "天刑星"};

const std::array<std::string_view, kTransforms + 1> kTransformMarks = {"", "(禄)", "(権)", "(科)", "(忌)"};

const std::array<std::string_view, kTransforms + 1> kTransformNames = {"", "化禄", "化権", "化科", "化忌"};

const std::array<std::string_view, 5> kBrightnessNames = {"", "廟", "旺", "失", "陥"};
const std::array<std::string_view, 5> kBrightnessMarks = {"", "(廟)", "(旺)", "(失)", "(陥)"};

const std::array<std::string_view, kBureaus> kBureauNames = {"木局", "火局", "土局", "金局", "水局"};

std::string PalaceFullName(int palace) {
    if (palace < 1 || palace > kPalaces) return {};
    std::string name(kPalaceNames[palace]);
    return palace == kLifePalace ? name : name + "宮";
}

int StemPairGroup(int stem) {
    if (stem < 1 || stem > 10) return 0;
    return (stem - 1) % 5 + 1;
}

void Tmandata::Reset() {
    name.clear();
    birthText.clear();
    age = 0;
    birthYear = birthMonth = birthDay = 0;
    hourIndex = 0;
    luckDirection = 0;
    daysToTerm = 0;
    firstLuckAge = 0;
    bodyPalace = 0;
    palaceBranch.fill(0);
    starBranch.fill(0);
    minorBranch.fill(0);
    transformStar.fill(0);
    transformMinor.fill(0);
    transforms = {};
    brightness.fill(0);
}

}  // namespace zelvara
