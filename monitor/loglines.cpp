#include "monitor/loglines.h"

#include <QRegularExpression>

namespace monitor {
namespace {
std::function<QDateTime()> g_clock;
} // namespace

QString logTimestamp(const QDateTime &when, const QLocale &locale)
{
    // The locale's long time format names the time zone; the regional long
    // time of a desktop does not.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*\\(?t+\\)?"));
    timeFormat.remove(zone);
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), timeFormat.trimmed());
}

QString logLine(const QDateTime &when, const QLocale &locale, int level, int quality)
{
    return logTimestamp(when, locale) + QStringLiteral(" Уровень сигнала ") +
           QString::number(level) + QStringLiteral(" Качество сигнала ") + QString::number(quality);
}

QDateTime logClock()
{
    return g_clock ? g_clock() : QDateTime::currentDateTime();
}

void setLogClockForTesting(std::function<QDateTime()> clock)
{
    g_clock = std::move(clock);
}

} // namespace monitor
