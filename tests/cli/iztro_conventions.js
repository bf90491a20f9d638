// The birth chart of zelvara-cli, cast by the conventions of iztro (another
// school's program, run from npm) — the lunar month with a leap month split at
// its 15th day, the year from the lunar New Year, a birth at 23:00-24:00 on the
// next day in the lunar month of the birth day — against iztro's own: 命宮, 身宮, 五行局 and the fourteen major
// stars of 1,000 random births 1930-2089. At least 98% must agree, and every
// chart that does not must be explained by a convention switch: the lunar date
// differs (the meridian of the lunar calendar, 135°E here, 120°E there) or the
// year's start, its leap month or the late hour would give iztro's chart.
// Only iztro's documented entry point is used: astro.bySolar(date, hourIndex,
// sex, fixLeap, language), hour 12 being 23:00-24:00.
'use strict';
const { execFileSync } = require('child_process');
const { astro } = require('iztro');

const [cli, home, births = '1000', meridian = '135'] = process.argv.slice(2);
const BRANCHES = ['', '子', '丑', '寅', '卯', '辰', '巳', '午', '未', '申', '酉', '戌', '亥'];
const BUREAUS = ['木三局', '火六局', '土五局', '金四局', '水二局'];  // zelvara's 1..5
const MAJORS = ['紫微', '天机', '太阳', '武曲', '天同', '廉贞', '天府', '太阴', '贪狼', '巨门', '天相', '天梁', '七杀',
                '破军'];  // zelvara's stars 1..14 in iztro's names
const PERIODS = ['23:00-01:00', '01:00-03:00', '03:00-05:00', '05:00-07:00', '07:00-09:00', '09:00-11:00',
                 '11:00-13:00', '13:00-15:00', '15:00-17:00', '17:00-19:00', '19:00-21:00', '21:00-23:00'];
const PEER = ['--palace-month', 'lunar-split', '--year-start', 'lunar-new-year', '--late-hour', 'next-day-keep-month',
              '--meridian', meridian];

let seed = Number(process.env.IZTRO_SEED || 20261209) >>> 0;
function random() {  // mulberry32: the same births on every run
  seed = (seed + 0x6d2b79f5) >>> 0;
  let t = seed;
  t = Math.imul(t ^ (t >>> 15), t | 1);
  t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
  return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
}
const pick = (from, to) => from + Math.floor(random() * (to - from + 1));
const daysIn = (y, m) => new Date(Date.UTC(y, m, 0)).getUTCDate();

const MONTHS = { 正: 1, 一: 1, 二: 2, 三: 3, 四: 4, 五: 5, 六: 6, 七: 7, 八: 8, 九: 9, 十: 10, 十一: 11, 冬: 11,
                 十二: 12, 腊: 12 };
const DIGITS = { 一: 1, 二: 2, 三: 3, 四: 4, 五: 5, 六: 6, 七: 7, 八: 8, 九: 9, 十: 10 };
function lunarOf(text) {  // 二〇二七年闰二月初九 → { month, day, leap }
  const match = /年(闰?)(.+)月(.+)$/.exec(String(text));
  if (!match) return null;
  const [, leap, monthName, dayName] = match;
  let day;
  if (dayName === '初十') day = 10;
  else if (dayName === '二十') day = 20;
  else if (dayName === '三十') day = 30;
  else day = { 初: 0, 十: 10, 廿: 20, 三: 30 }[dayName[0]] + DIGITS[dayName[1]];
  return { month: MONTHS[monthName], day, leap: leap === '闰' };
}

function zelvara(birth, conventions) {
  return JSON.parse(execFileSync(cli, ['chart', '--json', '--home', home, ...birth, ...conventions],
                                 { encoding: 'utf8' }));
}
function ours(chart) {
  const stars = {};
  for (let s = 1; s <= 14; ++s) stars[MAJORS[s - 1]] = BRANCHES[chart.starBranch[s - 1]];
  return { life: BRANCHES[chart.palaceBranch[1]], body: BRANCHES[chart.bodyPalace],
           bureau: BUREAUS[chart.bureau - 1], stars };
}
function theirs(astrolabe) {
  const found = {};
  for (const p of astrolabe.palaces)
    for (const s of p.majorStars) found[s.name] = p.earthlyBranch;
  const stars = {};
  for (const name of MAJORS) stars[name] = found[name];
  return { life: astrolabe.palaces.find(p => p.name === '命宫').earthlyBranch,
           body: astrolabe.palaces.find(p => p.isBodyPalace).earthlyBranch,
           bureau: astrolabe.fiveElementsClass, stars };
}
const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);

// A difference is explained by a switch when iztro's chart is the one another
// value of a switch casts (the lunar calendar's meridian: when the two lunar
// dates differ the 120°E calendar would be needed).
const SWITCHES = [['--year-start', 'risshun'], ['--palace-month', 'lunar'], ['--palace-month', 'lunar-next'],
                  ['--late-hour', 'next-day'], ['--late-hour', 'same-day']];
function explanation(birth, expected, lunarAgrees) {
  if (!lunarAgrees) return 'meridian (the lunar calendars differ by a day)';
  for (const [option, word] of SWITCHES) {
    const conventions = PEER.slice();
    conventions[conventions.indexOf(option) + 1] = word;
    if (same(ours(zelvara(birth, conventions)), expected)) return `${option} ${word}`;
  }
  return null;
}

const count = Number(births);
let agree = 0;
const causes = {};
const unexplained = [];
for (let i = 0; i < count; ++i) {
  const y = pick(1930, 2089), m = pick(1, 12), d = pick(1, daysIn(y, m)), h = pick(0, 12);
  const sex = random() < 0.5 ? '男' : '女';
  // iztro's hour 12 is 23:00-24:00 of the date; here the exact time 23:30.
  const birth = ['--sex', sex, '--date', `${y}/${m}/${d}`, '--today', '2026/12/09',
                 ...(h === 12 ? ['--time', '23:30'] : ['--hour', PERIODS[h]])];
  const astrolabe = astro.bySolar(`${y}-${m}-${d}`, h, sex, true, 'zh-CN');
  const chart = zelvara(birth, PEER);
  const expected = theirs(astrolabe);
  if (same(ours(chart), expected)) {
    ++agree;
    continue;
  }
  // iztro names the lunar date of the civil day; a late-hour birth is cast on the next.
  const lunar = lunarOf(astrolabe.lunarDate);
  const day = h === 12 ? zelvara(birth, PEER.map(w => (w === 'next-day-keep-month' ? 'same-day' : w))) : chart;
  const lunarAgrees = lunar && lunar.month === day.lunarMonth && lunar.day === day.lunarDay;
  const cause = explanation(birth, expected, lunarAgrees);
  const text = `${y}-${m}-${d} ${h === 12 ? '23:30' : PERIODS[h]} ${sex} (${astrolabe.lunarDate})`;
  if (cause) {
    causes[cause] = (causes[cause] || 0) + 1;
    console.log(`  ${text}: as ${cause} casts it`);
  }
  else unexplained.push(`${text}: ${JSON.stringify(ours(chart))} iztro ${JSON.stringify(expected)}`);
}
const share = (100 * agree / count).toFixed(1);
console.log(`${agree} of ${count} births (${share}%) place 命宮, 身宮, 五行局 and the 14 major stars as iztro ` +
            `${require('iztro/package.json').version} does`);
for (const [cause, n] of Object.entries(causes)) console.log(`  ${n} differ by ${cause}`);
for (const line of unexplained) console.log(`UNEXPLAINED ${line}`);
process.exit(agree >= 0.98 * count && unexplained.length === 0 ? 0 : 1);
