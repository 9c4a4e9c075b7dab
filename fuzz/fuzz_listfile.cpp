// A whole list file: line rules, satellite name, entry region, and every entry
// through the main window's line splitting.
#include "platform/convert.h"
#include "transponders/line.h"
#include "transponders/listfile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView text(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString name = transponders::satelliteNameFromText(text);
    const QStringList entries = transponders::entriesFromText(text);
    for (const QString &e : entries) {
        const auto line = transponders::splitTransponderLine(e);
        int value = 0;
        platform::tryStrToInt(line.frequency, value);
        platform::tryStrToInt(line.symbolRate, value);
        transponders::polarizationFor(line.polarization);
        transponders::fecEntryFor(line.fec, line.system);
    }
    return name.size() > 1 << 30 ? 1 : 0;
}
