#include "scan/blindsearch.h"

#include "app/globals.h"
#include "platform/wait.h"
#include "receiver/device.h"

platform::LibraryHandle BlindSearchLibrary = nullptr;

int MeasurePoint(int symbolRateKs, int frequencyMHz, int polarization, int lofMHz)
{
    receiver::SetSatPatRate(BlindSearchLibrary, TuneFecCode);
    // The library may write through the address; the copy keeps the caller's value.
    int frequencyCopy = frequencyMHz;
    receiver::TuneSatChannel(BlindSearchLibrary, symbolRateKs, &frequencyCopy, polarization,
                             lofMHz);
    platform::processMessagesThrottled();
    receiver::Reading reading;
    receiver::QuerySignal(BlindSearchLibrary, reading);
    return reading.quality;
}
