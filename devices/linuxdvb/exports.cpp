// The six C entry points of the receiver library, over the real system.
// Nothing may escape as an exception into the program.
#include "devices/linuxdvb/receiver.h"
#include "devices/linuxdvb/system_io.h"

#include <cstdlib>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {
linuxdvb::Receiver &receiver()
{
    static linuxdvb::SystemIo io;
    static linuxdvb::Receiver instance(io);
    return instance;
}
} // namespace

EXPORT int DW_InitDevCtl(void)
{
    try {
        return receiver().init(std::getenv("ORVANTA_DVB_FRONTEND")) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

EXPORT void DW_ReleaseDevCtl(void)
{
    try {
        receiver().release();
    } catch (...) {
    }
}

EXPORT int DW_SetDiSEqCSwitchPort(int port)
{
    try {
        return receiver().setDiseqcPort(port) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

EXPORT int DW_SetSatPatRate(unsigned char fecCode)
{
    try {
        return receiver().setFecCode(fecCode) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

EXPORT int DW_TuneSatChannel(int symbolRateKs, int *frequencyMHz, int polarization, int lofMHz)
{
    if (!frequencyMHz)
        return 0;
    try {
        return receiver().tune(symbolRateKs, *frequencyMHz, polarization, lofMHz) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

EXPORT int DW_QuerySignal(int *quality, int *level, int *)
{
    int q = 0, l = 0;
    try {
        receiver().query(q, l);
    } catch (...) {
        q = l = 0;
    }
    if (quality)
        *quality = q;
    if (level)
        *level = l;
    return 1;
}
