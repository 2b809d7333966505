// Times of day as texts.
#include "platform/vbtime.h"

#include <QLocale>
#include <QRegularExpression>
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

std::optional<QTime> timeValue(const QString& text) {
  static const QRegularExpression re(
      QStringLiteral(R"(^\s*(\d{1,2})(?::(\d{1,2}))?(?::(\d{1,2}))?\s*(AM|PM|A|P)?\s*$)"),
      QRegularExpression::CaseInsensitiveOption);
  const auto m = re.match(text);
  if (!m.hasMatch()) return std::nullopt;
  if (m.capturedLength(2) == 0 && m.capturedLength(4) == 0) return std::nullopt;  // a bare number
  int h = m.captured(1).toInt();
  const int n = m.capturedLength(2) ? m.captured(2).toInt() : 0;
  const int s = m.capturedLength(3) ? m.captured(3).toInt() : 0;
  if (m.capturedLength(4)) {
    if (h < 0 || h > 12) return std::nullopt;
    const bool pm = m.captured(4).startsWith('P', Qt::CaseInsensitive);
    if (h == 12) h = 0;
    if (pm) h += 12;
  }
  if (h > 23 || n > 59 || s > 59) return std::nullopt;
  return QTime(h, n, s);
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
