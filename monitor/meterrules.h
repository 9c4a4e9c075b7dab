#pragma once
// The live meter's rules: colour bands, placing of the two numbers and the
// choice of sound clips, all from the tick's reading alone.
#include <QColor>

namespace monitor {

// Colour of the level number (black up to 30) and of the quality number (red
// up to 30); above that both share the bands red, green, blue, purple.
QColor levelColour(int level);
QColor qualityColour(int quality);

// Left edge of each number: three digits need the wider start.
int levelLeft(int level);
int qualityLeft(int quality);

// Clips a tick starts, in this order: the "fair" clip for 32 <= Q < 52, then
// the "good" clip for Q > 50 (at Q = 51 the second replaces the first).
struct ClipChoice
{
    bool fair = false;
    bool good = false;
};
ClipChoice clipsFor(int quality);

} // namespace monitor
