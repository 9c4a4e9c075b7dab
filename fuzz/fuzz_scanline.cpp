// One transponder line as the satellite scan takes it: split, frequency and
// symbol rate converted (a bad one raises the conversion error), polarization
// by the scan's own rule, the FEC choice, and the result line it reports.
#include "platform/convert.h"
#include "platform/cp1251.h"
#include "platform/errors.h"
#include "scan/scanrules.h"
#include "transponders/line.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString line =
        platform::fromCp1251(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    const auto fields = transponders::splitTransponderLine(line);
    try {
        const int frequencyMHz = platform::StrToInt(fields.frequency);
        const int polarization = transponders::scanPolarizationIndex(fields.polarization);
        if (polarization != 0 && polarization != 1)
            std::abort();
        const auto entry = transponders::fecEntryFor(fields.fec, fields.system);
        if (entry && (*entry < 0 || *entry > 18))
            std::abort();
        const int symbolRateKs = platform::StrToInt(fields.symbolRate);
        const QString result = scan::resultLine(line, frequencyMHz % 101, symbolRateKs % 101);
        if (!result.contains(line))
            std::abort();
    } catch (const platform::ConvertError &e) {
        if (!e.message().endsWith(QLatin1String("' is not a valid integer value")))
            std::abort();
    }
    return 0;
}
