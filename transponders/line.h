#pragma once
// Splitting one transponder line ("11766,H,27500,34,DVB-S") into its fields.
#include <QString>
#include <optional>

namespace transponders {

struct TransponderLine
{
    QString frequency;    // text before the first comma; empty when there is none
    QString polarization; // the next field's text (empty when no comma follows)
    QString symbolRate;
    QString fec;    // empty when the line carries no FEC field
    QString system; // meaningful only with a non-empty fec
};

TransponderLine splitTransponderLine(const QString &line);

// The polarization list index and converter list index for a letter V, H, R
// or L; nothing for any other text.
struct PolarizationChoice
{
    int polarizationIndex;
    int lnbIndex;
};
std::optional<PolarizationChoice> polarizationFor(const QString &letter);

// The scan's rule: "V" or "R" gives 0, "H" or "L" gives 1, anything else 0.
int scanPolarizationIndex(const QString &letter);

// The FEC list entry that the FEC and system fields choose, or nothing when
// they leave the choice as it was.
std::optional<int> fecEntryFor(const QString &fec, const QString &system);

} // namespace transponders
