#pragma once
// The pure rules of the receiver library: what a FEC/modulation code means to
// the kernel, how long a tune may take to lock, the DiSEqC switch byte, and
// how the frontend's statistics become the two percentages the program shows.
#include <cstdint>
#include <optional>

namespace linuxdvb {

struct TuneSetting
{
    std::uint32_t deliverySystem; // SYS_DVBS or SYS_DVBS2
    std::uint32_t modulation;     // QPSK or PSK_8
    std::uint32_t innerFec;       // FEC_1_2 ... FEC_9_10, or FEC_AUTO
};

// The setting of an explicit code (12..78, 101..114); nothing for 0 (FEC
// auto) and for codes outside the table.
std::optional<TuneSetting> settingForCode(unsigned code);
bool isKnownCode(unsigned code);
// What FEC auto tries on one delivery system.
TuneSetting autoSettingFor(std::uint32_t deliverySystem);

constexpr int kPollIntervalMs = 50;
// How long a tune waits for lock: acquisition takes longer the slower the
// symbols come, a few hundred ms for fast carriers, seconds for slow ones.
int lockWaitMs(int symbolRateKs);

// Data byte of the committed-switch command E0 10 38 xx: port (1..4) in
// bits 2-3, horizontal in bit 1, high band in bit 0.
std::uint8_t committedSwitchData(int port, bool horizontal, bool highBand);

// One value of a DVBv5 statistic, as the kernel reports it.
struct Statistic
{
    enum class Scale { NotAvailable, Decibel, Relative };
    Scale scale = Scale::NotAvailable;
    std::int64_t value = 0; // 0.001 dB (dBm for strength) or 0..65535
};

// 0..65535 -> 0..100, truncated.
int relativePercent(std::uint64_t value);
// Carrier-to-noise: 20 dB and more read 100, 0 dB and less read 0, linear.
std::optional<int> cnrPercent(const Statistic &cnr);
// Signal strength: 100 + dBm, clamped to 0..100, so -100 dBm reads 0 and
// -35 dBm reads 65.
std::optional<int> strengthPercent(const Statistic &strength);

} // namespace linuxdvb
