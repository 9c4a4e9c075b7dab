#include "transponders/line.h"

namespace transponders {

TransponderLine splitTransponderLine(const QString &line)
{
    TransponderLine out;
    QString s = line;
    qsizetype comma = s.indexOf(QLatin1Char(','));
    if (comma >= 0) {
        out.frequency = s.left(comma);
        s = s.mid(comma + 1);
    }
    comma = s.indexOf(QLatin1Char(','));
    if (comma >= 0)
        out.polarization = s.left(comma);
    // The letter and its comma go, whatever the field's length.
    s = s.mid(2);

    const qsizetype semicolon = s.indexOf(QLatin1Char(';'));
    if (semicolon >= 0) {
        out.symbolRate = s.left(semicolon);
        return out;
    }
    comma = s.indexOf(QLatin1Char(','));
    if (comma < 0) {
        out.symbolRate = s;
        return out;
    }
    const QString rest = s.mid(comma + 1);
    out.symbolRate = s.left(comma);
    const qsizetype next = rest.indexOf(QLatin1Char(','));
    if (next >= 0) {
        out.fec = rest.left(next);
        out.system = rest.mid(next + 1);
    } else {
        out.system = rest;
    }
    return out;
}

std::optional<PolarizationChoice> polarizationFor(const QString &letter)
{
    if (letter == QLatin1String("V"))
        return PolarizationChoice{0, 0};
    if (letter == QLatin1String("H"))
        return PolarizationChoice{1, 0};
    if (letter == QLatin1String("R"))
        return PolarizationChoice{0, 1};
    if (letter == QLatin1String("L"))
        return PolarizationChoice{1, 1};
    return std::nullopt;
}

int scanPolarizationIndex(const QString &letter)
{
    return letter == QLatin1String("H") || letter == QLatin1String("L") ? 1 : 0;
}

std::optional<int> fecEntryFor(const QString &fec, const QString &system)
{
    if (fec.isEmpty())
        return std::nullopt;
    struct Row
    {
        const char *fec;
        int dvbs;
        int s2; // -1: unchanged
    };
    static constexpr Row kRows[] = {
        {"12", 0, -1}, {"23", 1, 14}, {"34", 2, 15},  {"56", 3, 16},  {"78", 4, -1},
        {"35", 6, 13}, {"45", 9, -1}, {"89", 11, 17}, {"91", 12, 18},
    };
    const Row *row = nullptr;
    for (const Row &r : kRows)
        if (fec == QLatin1String(r.fec))
            row = &r;
    if (system == QLatin1String("S2") || system == QLatin1String("s2")) {
        if (row && row->s2 >= 0)
            return row->s2;
        return std::nullopt;
    }
    if (system == QLatin1String("DVB-S"))
        return row ? row->dvbs : 2;
    return std::nullopt;
}

} // namespace transponders
