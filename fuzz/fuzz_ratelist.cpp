// The symbol-rate list of the blind search's "Несколько" mode, taken entry by
// entry as the search does at each frequency step.
#include "platform/cp1251.h"
#include "platform/errors.h"
#include "scan/blindrules.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString rest =
        platform::fromCp1251(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    const qsizetype commas = rest.count(QLatin1Char(','));
    qsizetype taken = 0;
    try {
        while (rest.contains(QLatin1Char(','))) {
            const qsizetype before = rest.size();
            if (!scan::takeListSymbolRate(rest))
                std::abort(); // a comma is left, so an entry must be taken
            if (rest.size() >= before)
                std::abort(); // no progress would loop for ever
            ++taken;
        }
        if (taken != commas || scan::takeListSymbolRate(rest))
            std::abort();
    } catch (const platform::ConvertError &) {
        // A bad entry ends the search with the conversion message.
    }
    return 0;
}
