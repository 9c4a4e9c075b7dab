#include "scan/scanrules.h"

#include <cstdint>

namespace scan {

QString resultLine(const QString &transponderLine, int quality, int level)
{
    return QStringLiteral("Транспондер: ") + transponderLine +
           QStringLiteral("   |Качество сигнала-") + QString::number(quality) +
           QStringLiteral("   |Уровень сигнала-") + QString::number(level);
}

int truncatingAverage(int first, int second, int third)
{
    const std::int64_t sum = std::int64_t(first) + second + third;
    return static_cast<int>(sum / 3); // integer division truncates toward zero
}

QStringList reportInformationBlock(const QString &satellite, const QString &transponders,
                                   const QString &found, const QString &comment)
{
    const QString rule(25, QLatin1Char('-'));
    QStringList block{rule,
                      QStringLiteral("Информация"),
                      QStringLiteral("Спутник - ") + satellite,
                      QStringLiteral("Транспондеров : ") + transponders,
                      QStringLiteral("Найдено : ") + found,
                      rule};
    if (!comment.isEmpty())
        block << QStringLiteral("Комментарии") << comment;
    return block;
}

void CaughtTable::clear()
{
    m_entries.clear();
    m_caught = 0;
}

bool CaughtTable::add(const QString &label, int quality)
{
    ++m_caught;
    if (m_entries.size() >= kCapacity)
        return false;
    m_entries.append(Entry{label, quality});
    return true;
}

int chartSize(int caught)
{
    if (caught < 60)
        return caught;
    if (caught < 120)
        return caught / 2;
    return caught / 3;
}

BarPlace barPlace(int j, int v)
{
    if (j <= v)
        return {1, j};
    if (j <= 2 * v + 1)
        return {2, j - v};
    // The third chart's first bar stands at 2, as the second chart took one more.
    return {3, j - 2 * v};
}

QList<BarPlace> barPlaces(int caught)
{
    QList<BarPlace> places;
    const int v = chartSize(caught);
    places.reserve(caught);
    for (int j = 1; j <= caught; ++j)
        places << barPlace(j, v);
    return places;
}

QColor barColour(int quality)
{
    if (quality <= 40)
        return QColor(255, 0, 0);
    if (quality <= 55)
        return QColor(0, 0, 255);
    return QColor(0, 128, 0);
}

int chartFileCount(int caughtCount)
{
    if (caughtCount <= 60)
        return 1;
    if (caughtCount <= 120)
        return 2;
    return 3;
}

QStringList chartFileNames(const QString &chosen, int caughtCount)
{
    // Only the file name is cut, so that a folder whose name holds ".bmp"
    // cannot send the other images somewhere else.
    const qsizetype slash = chosen.lastIndexOf(QLatin1Char('/'));
    const QString folder = chosen.left(slash + 1);
    const QString fileName = chosen.mid(slash + 1);
    QString base;
    const qsizetype bmp = fileName.indexOf(QLatin1String(".bmp"));
    if (bmp >= 0) {
        base = fileName.left(bmp);
    } else {
        const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
        base = dot > 0 ? fileName.left(dot) : fileName;
    }
    QStringList names{chosen};
    const int count = chartFileCount(caughtCount);
    for (int n = 2; n <= count; ++n)
        names << folder + base + QStringLiteral("-%1.bmp").arg(n);
    return names;
}

} // namespace scan
