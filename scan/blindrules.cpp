#include "scan/blindrules.h"

#include "platform/convert.h"

namespace scan {

std::optional<int> takeListSymbolRate(QString &rest)
{
    const qsizetype comma = rest.indexOf(QLatin1Char(','));
    if (comma < 0)
        return std::nullopt;
    const int value = platform::StrToInt(rest.left(comma));
    rest.remove(0, comma + 1);
    return value;
}

QString polarizationLetter(int polarization)
{
    return polarization == 0 ? QStringLiteral("V") : QStringLiteral("H");
}

QString blindPointText(int frequencyMHz, int symbolRateKs, int polarization)
{
    return QString::number(frequencyMHz) + QStringLiteral("--") + QString::number(symbolRateKs) +
           QStringLiteral("--") + polarizationLetter(polarization);
}

QString blindFoundLine(int frequencyMHz, int symbolRateKs, int polarization, int reading)
{
    return blindPointText(frequencyMHz, symbolRateKs, polarization) +
           QStringLiteral(" качество сигнала : ") + QString::number(reading);
}

QStringList blindStepItems()
{
    QStringList items;
    for (int v = 1; v <= 10; ++v)
        items << QString::number(v);
    for (int v = 15; v <= 60; v += 5)
        items << QString::number(v);
    for (int v = 70; v <= 200; v += 10)
        items << QString::number(v);
    for (int v = 300; v <= 1000; v += 100)
        items << QString::number(v);
    return items;
}

} // namespace scan
