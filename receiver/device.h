#pragma once
// The six operations of the receiver library. Each call looks its export up
// again; a missing export shows "Функция не найдена" (the DiSEqC port alone is
// skipped silently) and the caller goes on. Results are never looked at.
#include "platform/library.h"

#include <cstdint>

namespace receiver {

using platform::LibraryHandle;

// Export names as the library publishes them.
namespace exports {
inline constexpr const char *InitDevCtl = "?DW_InitDevCtl@@YGHXZ";
inline constexpr const char *ReleaseDevCtl = "?DW_ReleaseDevCtl@@YGXXZ";
inline constexpr const char *SetDiSEqCSwitchPort = "?DW_SetDiSEqCSwitchPort@@YGHH@Z";
inline constexpr const char *SetSatPatRate = "?DW_SetSatPatRate@@YGHE@Z";
inline constexpr const char *TuneSatChannel = "?DW_TuneSatChannel@@YGHJPAJHH@Z";
inline constexpr const char *QuerySignal = "?DW_QuerySignal@@YGHPAH00@Z";
} // namespace exports

using InitDevCtlFn = int (*)();
using ReleaseDevCtlFn = void (*)();
using SetDiSEqCSwitchPortFn = int (*)(int port);
using SetSatPatRateFn = int (*)(unsigned char fecCode);
using TuneSatChannelFn = int (*)(int symbolRateKs, int *frequencyMHz, int polarization, int lofMHz);
using QuerySignalFn = int (*)(int *quality, int *level, int *unused);

// The message shown for a missing operation.
QString functionNotFoundText();

// One signal reading: quality Q, level L and the third value nobody reads.
struct Reading
{
    int quality = 0;
    int level = 0;
    int unused = 0;
};

void InitDevCtl(LibraryHandle library);
void ReleaseDevCtl(LibraryHandle library);
// Sends the port three times in a row; nothing at all when the export is missing.
void SetDiSEqCSwitchPortThrice(LibraryHandle library, int port);
void SetSatPatRate(LibraryHandle library, std::uint8_t fecCode);
void TuneSatChannel(LibraryHandle library, int symbolRateKs, int *frequencyMHz, int polarization,
                    int lofMHz);
// Calls the query with the reading's three addresses (their values are not
// reset here). False, after the message, when the export is missing.
bool QuerySignal(LibraryHandle library, Reading &reading);
// Query that was looked up earlier (the FEC search resolves before its wait);
// shows the message when `fn` is null.
bool QuerySignalWith(QuerySignalFn fn, Reading &reading);
QuerySignalFn resolveQuerySignal(LibraryHandle library);

} // namespace receiver
