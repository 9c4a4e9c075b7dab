#include "receiver/device.h"

#include "platform/dialogs.h"

namespace receiver {
namespace {

template <typename Fn> Fn lookup(LibraryHandle library, const char *exportName)
{
    return reinterpret_cast<Fn>(platform::findExport(library, exportName));
}

void notFound()
{
    platform::dialogs().showMessage(functionNotFoundText());
}

} // namespace

QString functionNotFoundText()
{
    return QStringLiteral("Функция не найдена");
}

void InitDevCtl(LibraryHandle library)
{
    if (auto fn = lookup<InitDevCtlFn>(library, exports::InitDevCtl))
        fn();
    else
        notFound();
}

void ReleaseDevCtl(LibraryHandle library)
{
    if (auto fn = lookup<ReleaseDevCtlFn>(library, exports::ReleaseDevCtl))
        fn();
    else
        notFound();
}

void SetDiSEqCSwitchPortThrice(LibraryHandle library, int port)
{
    if (auto fn = lookup<SetDiSEqCSwitchPortFn>(library, exports::SetDiSEqCSwitchPort)) {
        fn(port);
        fn(port);
        fn(port);
    }
}

void SetSatPatRate(LibraryHandle library, std::uint8_t fecCode)
{
    if (auto fn = lookup<SetSatPatRateFn>(library, exports::SetSatPatRate))
        fn(fecCode);
    else
        notFound();
}

void TuneSatChannel(LibraryHandle library, int symbolRateKs, int *frequencyMHz, int polarization,
                    int lofMHz)
{
    if (auto fn = lookup<TuneSatChannelFn>(library, exports::TuneSatChannel))
        fn(symbolRateKs, frequencyMHz, polarization, lofMHz);
    else
        notFound();
}

QuerySignalFn resolveQuerySignal(LibraryHandle library)
{
    return lookup<QuerySignalFn>(library, exports::QuerySignal);
}

bool QuerySignalWith(QuerySignalFn fn, Reading &reading)
{
    if (!fn) {
        notFound();
        return false;
    }
    fn(&reading.quality, &reading.level, &reading.unused);
    return true;
}

bool QuerySignal(LibraryHandle library, Reading &reading)
{
    return QuerySignalWith(resolveQuerySignal(library), reading);
}

} // namespace receiver
