#include "receiver/tuning.h"

#include "app/globals.h"
#include "platform/convert.h"
#include "platform/wait.h"

#include <array>

namespace receiver {

int lofFor(int frequencyMHz, const QString &lnbTypeText, const QString &customLofText)
{
    int lof = frequencyMHz > 11700 ? 10600 : 9750;
    if (frequencyMHz < 10000)
        lof = 5150;
    if (lnbTypeText == kLnbCircular)
        lof = 10750;
    if (lnbTypeText == kLnbOther && !customLofText.isEmpty())
        lof = platform::StrToInt(customLofText);
    return lof;
}

int blindSearchLof(int frequencyMHz)
{
    return frequencyMHz > 11700 ? 10600 : 9750;
}

std::uint8_t fecCodeForIndex(int index)
{
    static constexpr std::array<std::uint8_t, 19> kCodes = {
        12, 23, 34, 56, 78, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114};
    if (index < 0 || index >= int(kCodes.size()))
        return 0;
    return kCodes[static_cast<size_t>(index)];
}

void readTuningParameters(const QString &frequencyText, const QString &symbolRateText,
                          int polarizationIndex)
{
    TuneSymbolRate = platform::StrToInt(symbolRateText);
    TuneFrequency = platform::StrToInt(frequencyText);
    TunePolarization = polarizationIndex;
    TuneLof = 9750;
}

void tuneLofAndDiseqc(LibraryHandle library, const TuningFields &fields)
{
    TuneLof = lofFor(TuneFrequency, fields.lnbType, fields.customLof);
    if (fields.diseqcPort != 0)
        SetDiSEqCSwitchPortThrice(library, fields.diseqcPort);
}

void TuningSequence(LibraryHandle library, const TuningFields &fields, Reading &reading)
{
    tuneLofAndDiseqc(library, fields);
    TuneFecCode = 0;
    TuneFecCode = fecCodeForIndex(fields.fecIndex);
    SetSatPatRate(library, TuneFecCode);
    TuneSatChannel(library, TuneSymbolRate, &TuneFrequency, TunePolarization, TuneLof);
    platform::processMessages();
    QuerySignal(library, reading);
}

} // namespace receiver
