// One transponder line through the splitting and choice rules, checking what
// must hold whatever the text.
#include "platform/convert.h"
#include "platform/cp1251.h"
#include "transponders/line.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString s =
        platform::fromCp1251(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    const auto line = transponders::splitTransponderLine(s);
    // Every field is a piece of the line.
    if (line.frequency.size() > s.size() || line.symbolRate.size() > s.size() ||
        line.fec.size() > s.size())
        std::abort();
    if (!line.frequency.isEmpty() && !s.startsWith(line.frequency + QLatin1Char(',')))
        std::abort();
    if (const auto e = transponders::fecEntryFor(line.fec, line.system); e && (*e < 0 || *e > 18))
        std::abort();
    if (const auto p = transponders::polarizationFor(line.polarization);
        p && (p->polarizationIndex > 1 || p->lnbIndex > 1))
        std::abort();
    int value = 0;
    if (platform::tryStrToInt(line.symbolRate, value) !=
        platform::tryStrToInt(line.symbolRate, value))
        std::abort();
    return 0;
}
