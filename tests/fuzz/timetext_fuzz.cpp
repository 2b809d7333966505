// SPDX-License-Identifier: GPL-3.0-or-later
// The time texts: any text read as a time of day writes and reads back the same in both
// clock modes; the entry fields armed in 24-hour mode give a text the clock shows at that
// second; a check sees the alarm's second when the clock showed it since the last check,
// however long ago, and only then (the present second alone after the clock went back); the
// idle clock never sleeps over the alarm's second or midnight; "now plus minutes" wraps
// round midnight.
//   input: text | hours | minutes | seconds | last check | gap | long gap | milliseconds |
//          first check | alarm | clock mode | minutes to add
#include <QDateTime>
#include <QTimeZone>
#include <cstdint>
#include <cstdlib>
#include <set>

#include "alarm/timetext.h"
#include "fuzz_input.h"
#include "platform/convert.h"
#include "platform/vbtime.h"

namespace {

using platform::formatTime;
using platform::timeValue;

std::string s(const QString& q) { return q.toStdString(); }

void textsReadBack(const QString& text) {
  const auto t = timeValue(text);
  (void)platform::dateTimeValue(text);
  const auto fields = engine::cutAmPmText(text);
  fuzz::require(fields.hours.size() + fields.minutes.size() + fields.seconds.size() + fields.half.size() <= text.size(),
                "the AM/PM fields come from the text");
  if (!t) return;
  for (const bool mode24 : {true, false}) {
    const QString shown = engine::alarmText(*t, mode24);
    fuzz::require(timeValue(shown) == t, "the time of " + s(text) + " reads back from " + s(shown));
    fuzz::require(shown.startsWith(engine::clockText(*t, mode24)), "the clock shows the alarm text's start");
  }
  const auto f = engine::cutAmPmText(engine::alarmText(*t, false));
  const int hour12 = t->hour() % 12 == 0 ? 12 : t->hour() % 12;
  fuzz::require(f.hours.toInt() == hour12 && f.minutes.toInt() == t->minute() && f.seconds.toInt() == t->second() &&
                    f.half == (t->hour() < 12 ? QLatin1String("AM") : QLatin1String("PM")),
                "the AM/PM text cuts into its fields");
}

// The 24-hour arming of the main window: fields of digits as the entry takes them.
void fieldsArm(const QString& h, const QString& m, const QString& sec) {
  for (const QString* f : {&h, &m, &sec})
    if (f->isEmpty() || f->size() > 2 || !std::all_of(f->begin(), f->end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; }))
      return;
  if (platform::vbCInt(s(h)) > 23 || platform::vbCInt(s(m)) > 59 || platform::vbCInt(s(sec)) > 59) return;  // refused
  const QString text = engine::useTwoNumbersText(h) + ":" + engine::useTwoNumbersText(m) + ":" + engine::useTwoNumbersText(sec);
  const auto t = timeValue(text);
  fuzz::require(t && engine::alarmText(*t, true) == text, "an armed 24-hour text " + s(text) + " is a second the clock shows");
}

void catchUp(const QDateTime& last, const QDateTime& now, const QTime& wanted) {
  const auto when = engine::passedAt(last, now, wanted);
  const QDateTime to = engine::shown(now);
  const bool fresh = !last.isValid() || engine::shown(last) >= to;  // a first check, or the clock went back
  const QDateTime from = fresh ? to.addMSecs(-1 - to.time().msec()) : engine::shown(last);
  if (last.isValid() && last.toSecsSinceEpoch() == now.toSecsSinceEpoch()) {
    fuzz::require(!when, "a second already looked at is not looked at again");
    return;
  }
  if (when) {
    fuzz::require(when->time() == wanted && *when > from && *when <= to, "the second passed lies between the checks");
    fuzz::require(when->addDays(1) > to, "the last time the clock showed it");
  }
  // Every second the clock showed between the checks, one by one, for a gap it can walk.
  if (from.secsTo(to) <= 400) {
    bool seen = false;
    for (QDateTime s = from.addMSecs(1000 - from.time().msec()); s <= to; s = s.addSecs(1)) seen = seen || s.time() == wanted;
    fuzz::require(seen == when.has_value(), "a second the clock showed between the checks is seen, and only such");
  }
}

void idleTick(const QDateTime& now, const QTime& alarm, bool mode24) {
  const QString alarmText = engine::alarmText(alarm, mode24);
  const int wait = engine::secondsToNextIdleTick(now, alarmText, true, mode24);
  fuzz::require(wait >= 1 && wait <= engine::kIdleTickSeconds, "the idle clock wakes within its limit");
  for (int i = 1; i < wait; ++i) {
    const QTime passed = now.time().addSecs(i);
    fuzz::require(engine::alarmText(passed, mode24) != alarmText, "the idle clock does not sleep over the alarm");
    fuzz::require(passed > now.time(), "the idle clock does not sleep over midnight");
  }
}

}  // namespace

// A zone with daylight saving, so the checks also fall on its changes.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("TZ", "Europe/Berlin", 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const auto q = [&] {
    const std::string_view t = in.text();
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
  };
  textsReadBack(q());
  const QString h = q(), m = q(), sec = q();
  fieldsArm(h, m, sec);

  // Two checks within a few days of each other around 2026, in the local zone.
  const qint64 base = 1767225600;  // 2026-01-01
  const qint64 lastAt = base + in.number(0, 366LL * 86400);
  const qint64 nowAt = lastAt + in.number(-200, 200) * (in.number(0, 3) == 3 ? 1000 : 1);
  const QDateTime now = QDateTime::fromSecsSinceEpoch(nowAt).addMSecs(in.number(0, 999));
  const QDateTime last = in.number(0, 9) == 0 ? QDateTime() : QDateTime::fromSecsSinceEpoch(lastAt);
  const QTime alarm = QTime(0, 0).addSecs(static_cast<int>(in.number(0, 86399)));
  catchUp(last, now, alarm);
  idleTick(now, alarm, in.number(0, 1) == 1);

  const int minutes = static_cast<int>(in.number(-1000000, 1000000));
  for (const QString& format : {platform::kFmt24, platform::kFmtAmPm}) {
    const QString later = platform::nowPlusMinutes(now, minutes, format);
    const auto t = timeValue(later);
    fuzz::require(t.has_value(), "now plus minutes is a time");
    const qint64 shown = now.time().msecsSinceStartOfDay() / 1000;
    const qint64 expected = ((shown + minutes * 60LL) % 86400 + 86400) % 86400;
    fuzz::require(t->msecsSinceStartOfDay() / 1000 == expected, "now plus minutes wraps round midnight");
  }
  return 0;
}
