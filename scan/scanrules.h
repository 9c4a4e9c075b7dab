#pragma once
// The plain rules of the satellite scan, its report and its charts: result
// lines, averaging, the caught table, how caught transponders spread over
// the three charts, bar colours and the names of saved chart images.
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

namespace scan {

// Caption of the report's cancel button while a stop has been asked for, and
// its normal caption.
inline const QString kStopRequested = QStringLiteral("ожидайте");
inline const QString kCancelCaption = QStringLiteral("Отмена");

// "Транспондер: <line>   |Качество сигнала-<q>   |Уровень сигнала-<l>"
QString resultLine(const QString &transponderLine, int quality, int level);

// Mean of three readings, truncated toward zero (never rounded); the sum is
// taken wide so that large readings cannot overflow.
int truncatingAverage(int first, int second, int third);

// The information block a report save appends: six lines, eight with a comment.
QStringList reportInformationBlock(const QString &satellite, const QString &transponders,
                                   const QString &found, const QString &comment);

// Transponders caught by one run, in the order caught. The table holds
// kCapacity entries; catches beyond that are counted but not kept.
class CaughtTable
{
public:
    static constexpr int kCapacity = 1000;
    struct Entry
    {
        QString label; // frequency in MHz
        int quality = 0;
    };

    void clear();
    // Counts the catch and keeps it while there is room; false when it was
    // only counted.
    bool add(const QString &label, int quality);
    int caught() const { return m_caught; }
    const QList<Entry> &entries() const { return m_entries; }

private:
    QList<Entry> m_entries;
    int m_caught = 0;
};

// Bars per chart for `caught` bars: all of them below 60, half from 60, a
// third from 120.
int chartSize(int caught);

// Where bar number j (from 1) goes: chart 1 to 3 and its x position there.
struct BarPlace
{
    int chart = 1;
    int x = 1;
};
BarPlace barPlace(int j, int chartSize);
// The places of every bar of `caught` bars, in order.
QList<BarPlace> barPlaces(int caught);

// Bar colour by quality: red up to 40, blue 41 to 55, green from 56.
QColor barColour(int quality);

// How many chart images a save writes for `caughtCount`: one up to 60, two up
// to 120, three above.
int chartFileCount(int caughtCount);
// The image names for the name the user chose: the name itself, then
// B + "-2.bmp" and B + "-3.bmp", where B is the file name up to its first
// ".bmp", or the file name without its extension when it holds no ".bmp".
QStringList chartFileNames(const QString &chosen, int caughtCount);

} // namespace scan
