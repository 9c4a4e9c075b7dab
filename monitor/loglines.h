#pragma once
// Lines of the signal log.
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <functional>

namespace monitor {

// Short date and long time of `locale` without a time zone, as the user's
// regional settings show them, e.g. "09.12.2025 15:50:07" in a Russian locale.
QString logTimestamp(const QDateTime &when, const QLocale &locale);

// One measurement line: timestamp, then the level L and the quality Q.
QString logLine(const QDateTime &when, const QLocale &locale, int level, int quality);

// The clock of the log ticks; tests install a fixed one (empty: the real clock).
QDateTime logClock();
void setLogClockForTesting(std::function<QDateTime()> clock);

} // namespace monitor
