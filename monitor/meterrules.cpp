#include "monitor/meterrules.h"

namespace monitor {
namespace {

// The tests run in this order, each later one overriding the earlier.
QColor band(int v, QColor colour)
{
    if (v > 30)
        colour = QColor(255, 0, 0);
    if (v > 33)
        colour = QColor(0, 128, 0);
    if (v >= 50)
        colour = QColor(0, 0, 255);
    if (v > 57)
        colour = QColor(128, 0, 128);
    return colour;
}

} // namespace

QColor levelColour(int level)
{
    return band(level, QColor(0, 0, 0));
}

QColor qualityColour(int quality)
{
    return band(quality, QColor(255, 0, 0));
}

int levelLeft(int level)
{
    return level >= 100 ? 10 : 50;
}

int qualityLeft(int quality)
{
    return quality >= 100 ? 522 : 598;
}

ClipChoice clipsFor(int quality)
{
    ClipChoice c;
    c.fair = quality >= 32 && quality < 52;
    c.good = quality > 50;
    return c;
}

} // namespace monitor
