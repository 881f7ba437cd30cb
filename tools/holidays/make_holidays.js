#!/usr/bin/env node
// make_holidays — writes Japan's national holidays as the organizer's holiday files, one
// per year 1975..2036, from the maintained dataset of the npm package
// @holiday-jp/holiday_jp (which follows the government's published list).
//
//   npm install --prefix SCRATCH @holiday-jp/holiday_jp
//   NODE_PATH=SCRATCH/node_modules node tools/holidays/make_holidays.js assets/holidays
//
// Only run when the dataset is refreshed; the output is committed and building needs no npm.
//
// Each file is <year>holiday.txt: UTF-16LE without a byte-order mark, one entry a line in
// the holiday file's "one day a year" form, coloured red, in date order:
//
//   (00,00 00,00)(MM,DD,-1,01,name)  CR LF
//
// The dataset labels a substitute holiday "<holiday> 振替休日" and a citizens' holiday (a
// day between two holidays) "休日"; the organizer shows them as 振替休日 and 国民の休日.  Its
// generic "休日（祝日扱い）" days of 2019 get their own names, and 2019's "体育の日
// （スポーツの日）" the name that day had in law.
'use strict';

const fs = require('fs');
const path = require('path');

const kFirstYear = 1975;
const kLastYear = 2036;
const kMaxEntries = 200;  // a holiday file holds at most 200 entries
const kRed = 1;

const kNamedDays = {
  '2019-05-01': '即位の日',
  '2019-10-14': '体育の日',
  '2019-10-22': '即位礼正殿の儀',
};

function shownName(date, name) {
  if (kNamedDays[date] !== undefined) return kNamedDays[date];
  if (name.endsWith('振替休日')) return '振替休日';
  if (name === '休日') return '国民の休日';
  return name;
}

function two(n) {
  return String(n).padStart(2, '0');
}

function holidayLine(month, day, name) {
  return `(00,00 00,00)(${two(month)},${two(day)},-1,${two(kRed)},${name})\r\n`;
}

function main() {
  const out = process.argv[2];
  if (!out) {
    console.error('usage: make_holidays.js OUTPUT_FOLDER');
    process.exit(2);
  }
  const holidays = require('@holiday-jp/holiday_jp').holidays;
  const byYear = new Map();
  for (const date of Object.keys(holidays).sort()) {
    const year = Number(date.slice(0, 4));
    if (year < kFirstYear || year > kLastYear) continue;
    const month = Number(date.slice(5, 7));
    const day = Number(date.slice(8, 10));
    if (!byYear.has(year)) byYear.set(year, []);
    byYear.get(year).push(holidayLine(month, day, shownName(date, holidays[date].name)));
  }
  fs.mkdirSync(out, {recursive: true});
  for (let year = kFirstYear; year <= kLastYear; ++year) {
    const lines = byYear.get(year) || [];
    if (lines.length === 0 || lines.length > kMaxEntries) {
      console.error(`${year}: ${lines.length} holidays in the dataset`);
      process.exit(1);
    }
    // Node's 'utf16le' is little-endian without a byte-order mark, as the files are.
    fs.writeFileSync(path.join(out, `${year}holiday.txt`), Buffer.from(lines.join(''), 'utf16le'));
  }
  console.log(`wrote ${kLastYear - kFirstYear + 1} years to ${out}`);
}

main();
