#include "devices/linuxdvb/mapping.h"

#include <linux/dvb/frontend.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <iterator>

namespace linuxdvb {
namespace {
struct CodeEntry
{
    unsigned code;
    TuneSetting setting;
};

constexpr CodeEntry kCodes[] = {
    {12, {SYS_DVBS, QPSK, FEC_1_2}},     {23, {SYS_DVBS, QPSK, FEC_2_3}},
    {34, {SYS_DVBS, QPSK, FEC_3_4}},     {56, {SYS_DVBS, QPSK, FEC_5_6}},
    {78, {SYS_DVBS, QPSK, FEC_7_8}},     {101, {SYS_DVBS2, QPSK, FEC_1_2}},
    {102, {SYS_DVBS2, QPSK, FEC_3_5}},   {103, {SYS_DVBS2, QPSK, FEC_2_3}},
    {104, {SYS_DVBS2, QPSK, FEC_3_4}},   {105, {SYS_DVBS2, QPSK, FEC_4_5}},
    {106, {SYS_DVBS2, QPSK, FEC_5_6}},   {107, {SYS_DVBS2, QPSK, FEC_8_9}},
    {108, {SYS_DVBS2, QPSK, FEC_9_10}},  {109, {SYS_DVBS2, PSK_8, FEC_3_5}},
    {110, {SYS_DVBS2, PSK_8, FEC_2_3}},  {111, {SYS_DVBS2, PSK_8, FEC_3_4}},
    {112, {SYS_DVBS2, PSK_8, FEC_5_6}},  {113, {SYS_DVBS2, PSK_8, FEC_8_9}},
    {114, {SYS_DVBS2, PSK_8, FEC_9_10}},
};

constexpr int kLockBaseMs = 300;
// Roughly six million symbols' worth of acquisition on top of the base.
constexpr int kLockSymbolsKs = 6'000'000;
constexpr int kLockMaxMs = 5000;
} // namespace

std::optional<TuneSetting> settingForCode(unsigned code)
{
    auto it = std::find_if(std::begin(kCodes), std::end(kCodes),
                           [code](const CodeEntry &e) { return e.code == code; });
    if (it == std::end(kCodes))
        return std::nullopt;
    return it->setting;
}

bool isKnownCode(unsigned code)
{
    return code == 0 || settingForCode(code).has_value();
}

TuneSetting autoSettingFor(std::uint32_t deliverySystem)
{
    // QPSK is the kernel's own default for DVB-S2 too; demodulators that find
    // the modulation and rate themselves ignore both.
    return {deliverySystem, QPSK, FEC_AUTO};
}

int lockWaitMs(int symbolRateKs)
{
    if (symbolRateKs <= 0)
        return kLockMaxMs;
    return std::min(kLockMaxMs, kLockBaseMs + kLockSymbolsKs / symbolRateKs);
}

std::uint8_t committedSwitchData(int port, bool horizontal, bool highBand)
{
    const int position = std::clamp(port, 1, 4) - 1;
    return static_cast<std::uint8_t>(0xF0 | (position << 2) | (horizontal ? 2 : 0) |
                                     (highBand ? 1 : 0));
}

int relativePercent(std::uint64_t value)
{
    return static_cast<int>(std::min<std::uint64_t>(value, 0xFFFF) * 100 / 0xFFFF);
}

std::optional<int> cnrPercent(const Statistic &cnr)
{
    switch (cnr.scale) {
    case Statistic::Scale::Decibel:
        // 0.001 dB steps; 20 dB = 20000 -> 100.
        return static_cast<int>(std::clamp<std::int64_t>(cnr.value / 200, 0, 100));
    case Statistic::Scale::Relative:
        return relativePercent(static_cast<std::uint64_t>(std::max<std::int64_t>(cnr.value, 0)));
    case Statistic::Scale::NotAvailable:
        break;
    }
    return std::nullopt;
}

std::optional<int> strengthPercent(const Statistic &strength)
{
    switch (strength.scale) {
    case Statistic::Scale::Decibel:
        // 0.001 dBm steps; whole dB rounded down, so a weaker signal never
        // reads higher.
        return static_cast<int>(std::clamp<std::int64_t>(100'000 + strength.value, 0, 100'000) /
                                1000);
    case Statistic::Scale::Relative:
        return relativePercent(
            static_cast<std::uint64_t>(std::max<std::int64_t>(strength.value, 0)));
    case Statistic::Scale::NotAvailable:
        break;
    }
    return std::nullopt;
}

} // namespace linuxdvb
