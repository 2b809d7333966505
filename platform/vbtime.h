// SPDX-License-Identifier: GPL-3.0-or-later
// Times of day as texts: the formats the clock shows, reading a text back as a time,
// and "now plus N minutes" with the wrap round midnight.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>

namespace platform {

inline const QString kFmt24 = QStringLiteral("hh:nn:ss");
inline const QString kFmtAmPm = QStringLiteral("h:nn:ss AM/PM");

// Formats a time of day. Understands hh, h, nn, ss and AM/PM in any combination with
// literal separators ("hh:nn:ss", "h:nn:ss AM/PM", "hh", "nn", "ss").
QString formatTime(const QTime& t, const QString& format);

// Reads a time of day from a text such as "07:05:09", "7:05:09 PM", "7:05 am", "19:05" or
// "7 PM". Nothing when the text is not a valid time of day.
std::optional<QTime> timeValue(const QString& text);

// Formats now with the format, reads it back, adds the minutes and formats the result;
// only the time of day survives, so 23:55:00 plus 10 minutes gives 00:05:00.
QString nowPlusMinutes(const QDateTime& now, double minutes, const QString& format);

// The system's short date form, and reading a "short date + blank + time" record back.
QString shortDate(const QDate& d);
std::optional<QDateTime> dateTimeValue(const QString& text);

}  // namespace platform
