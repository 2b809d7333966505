// SPDX-License-Identifier: GPL-3.0-or-later
// Times of day as texts.
#include "platform/vbtime.h"

#include <QLocale>
#include <cmath>

#include "platform/convert.h"

namespace platform {

QString formatTime(const QTime& t, const QString& format) {
  QString out;
  const int h = t.hour();
  const bool hasAmPm = format.contains(QLatin1String("AM/PM"), Qt::CaseInsensitive);
  const int shownHour = hasAmPm ? (h % 12 == 0 ? 12 : h % 12) : h;
  for (int i = 0; i < format.size();) {
    const QStringView rest = QStringView(format).mid(i);
    if (rest.startsWith(QLatin1String("AM/PM"), Qt::CaseInsensitive)) {
      out += h < 12 ? QLatin1String("AM") : QLatin1String("PM");
      i += 5;
    } else if (rest.startsWith(QLatin1String("hh"))) {
      out += QString::number(shownHour).rightJustified(2, '0');
      i += 2;
    } else if (rest.startsWith(QLatin1Char('h'))) {
      out += QString::number(shownHour);
      i += 1;
    } else if (rest.startsWith(QLatin1String("nn"))) {
      out += QString::number(t.minute()).rightJustified(2, '0');
      i += 2;
    } else if (rest.startsWith(QLatin1String("ss"))) {
      out += QString::number(t.second()).rightJustified(2, '0');
      i += 2;
    } else {
      out += format[i];
      i += 1;
    }
  }
  return out;
}

namespace {

bool isBlank(QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Reads a number of one or two digits at i; a run of three or more is no number.
std::optional<int> twoDigits(const QString& text, qsizetype& i) {
  qsizetype end = i;
  while (end < text.size() && isDigit(text[end])) ++end;
  if (end == i || end - i > 2) return std::nullopt;
  int value = 0;
  for (; i < end; ++i) value = value * 10 + (text[i].unicode() - u'0');
  return value;
}

}  // namespace

// h[:m[:s]] with an optional AM/PM/A/P suffix, blanks allowed around; a bare number is no time.
std::optional<QTime> timeValue(const QString& text) {
  qsizetype i = 0;
  const auto skipBlanks = [&] {
    while (i < text.size() && isBlank(text[i])) ++i;
  };
  skipBlanks();
  std::optional<int> h = twoDigits(text, i);
  if (!h) return std::nullopt;
  int parts[2] = {0, 0};
  bool hasMinutes = false;
  for (int& part : parts) {
    if (i >= text.size() || text[i] != u':') break;
    ++i;
    const auto value = twoDigits(text, i);
    if (!value) return std::nullopt;
    part = *value;
    hasMinutes = true;
  }
  skipBlanks();
  int suffix = 0;  // 0 none, 1 AM, 2 PM
  if (i < text.size()) {
    const QChar c = text[i].toUpper();
    if (c == u'A' || c == u'P') {
      suffix = c == u'A' ? 1 : 2;
      ++i;
      if (i < text.size() && text[i].toUpper() == u'M') ++i;
    }
  }
  skipBlanks();
  if (i != text.size()) return std::nullopt;
  if (!hasMinutes && suffix == 0) return std::nullopt;  // a bare number
  int hour = *h;
  if (suffix) {
    if (hour > 12) return std::nullopt;
    if (hour == 12) hour = 0;
    if (suffix == 2) hour += 12;
  }
  if (hour > 23 || parts[0] > 59 || parts[1] > 59) return std::nullopt;
  return QTime(hour, parts[0], parts[1]);
}

QString nowPlusMinutes(const QDateTime& now, double minutes, const QString& format) {
  const QTime shown = timeValue(formatTime(now.time(), format)).value_or(now.time());
  const long long secs = static_cast<long long>(roundHalfEven(minutes)) * 60;
  const long long day = 24 * 3600;
  const long long t = ((shown.msecsSinceStartOfDay() / 1000 + secs) % day + day) % day;
  return formatTime(QTime(0, 0).addSecs(static_cast<int>(t)), format);
}

QString shortDate(const QDate& d) { return QLocale::system().toString(d, QLocale::ShortFormat); }

std::optional<QDateTime> dateTimeValue(const QString& text) {
  // The short date may hold blanks itself ("7 Dec 2026"): try each blank as the divider,
  // the time being the part after it.
  const QString t = text.trimmed();
  for (qsizetype blank = t.indexOf(' '); blank > 0; blank = t.indexOf(' ', blank + 1)) {
    QDate d = QLocale::system().toDate(t.left(blank), QLocale::ShortFormat);
    if (!d.isValid()) d = QDate::fromString(t.left(blank), Qt::ISODate);
    if (!d.isValid()) continue;
    if (const auto time = timeValue(t.mid(blank + 1))) return QDateTime(d, *time);
  }
  return std::nullopt;
}

}  // namespace platform
