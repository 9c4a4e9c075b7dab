// The simulated receiver: the six receiver operations over the sky of sky.h,
// plus the test controls of control.h. Built once as build/DWUSBAPI.dll and
// once per receiver operation with that operation left out (SIM_WITHOUT_<Name>),
// for the tests of a library that lacks an export.
#include "devices/simulated/control.h"
#include "devices/simulated/sky.h"

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <unistd.h>
#include <utility>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// The journal keeps the newest lines only: a blind search makes millions of
// calls, and tests look at a handful.
constexpr std::size_t kJournalLines = 100000;

struct State
{
    std::mutex mutex;
    std::deque<std::string> journal;
    std::string journalText; // what Sim_Journal last handed out
    bool journaling = true;
    std::deque<std::pair<int, int>> script;

    sim::Sky sky;
    bool initialised = false;
    int fecCode = 0;
    // Last tune.
    bool tuned = false;
    int tunedFrequencyMHz = 0;
    sim::TuneResult tune;
    std::uint64_t queries = 0; // drives the jitter, so runs repeat exactly
};

State &state()
{
    static State s;
    return s;
}

void note(State &s, std::string line)
{
    if (!s.journaling)
        return;
    if (s.journal.size() >= kJournalLines)
        s.journal.pop_front();
    s.journal.push_back(std::move(line));
}

[[maybe_unused]] std::string currentTransponderDir()
{
    std::string dir;
    char buffer[4096];
    if (::getcwd(buffer, sizeof buffer))
        dir = buffer;
    return dir + "/Transponders";
}

// -2..2, a fixed function of the query count and the tuned frequency.
int jitter(std::uint64_t counter, int salt)
{
    std::uint64_t x = counter * 0x9e3779b97f4a7c15ull + static_cast<std::uint32_t>(salt);
    x = (x ^ (x >> 31)) * 0xbf58476d1ce4e5b9ull;
    x ^= x >> 29;
    return static_cast<int>(x % 5) - 2;
}

[[maybe_unused]] void modelReading(State &s, int &quality, int &level)
{
    quality = 0;
    level = 0;
    if (!s.initialised)
        return; // a released receiver measures nothing
    const std::uint64_t n = ++s.queries;
    const int j1 = jitter(n, s.tunedFrequencyMHz);
    const int j2 = jitter(n + 0x5bd1e995u, s.tunedFrequencyMHz);
    const int floor = 8 + (j2 + 2) / 2; // 8..10
    if (!s.tuned || !s.tune.locked) {
        level = floor + (s.tuned ? s.tune.nearLevel : 0);
        return;
    }
    // Strength 25..99 maps onto quality about 5..92 and level about 54..95.
    const int strength = s.tune.strength;
    quality = 5 + (strength - sim::kLockStrength) * 87 / (99 - sim::kLockStrength) + j1;
    if (quality < 1)
        quality = 1;
    level = 40 + strength * 55 / 100 + j2;
    if (level < quality + 3)
        level = quality + 3;
}

} // namespace

#ifndef SIM_WITHOUT_InitDevCtl
EXPORT int DW_InitDevCtl(void)
{
    State &s = state();
    std::lock_guard lock(s.mutex);
    note(s, "InitDevCtl");
    // The lists are read again at every start, as a receiver would see the
    // sky anew after being opened.
    s.sky.load(currentTransponderDir());
    s.initialised = true;
    s.tuned = false;
    s.fecCode = 0;
    return 1;
}
#endif

#ifndef SIM_WITHOUT_ReleaseDevCtl
EXPORT void DW_ReleaseDevCtl(void)
{
    State &s = state();
    std::lock_guard lock(s.mutex);
    note(s, "ReleaseDevCtl");
    s.initialised = false;
    s.tuned = false;
}
#endif

#ifndef SIM_WITHOUT_SetDiSEqCSwitchPort
EXPORT int DW_SetDiSEqCSwitchPort(int port)
{
    State &s = state();
    std::lock_guard lock(s.mutex);
    note(s, "SetDiSEqCSwitchPort " + std::to_string(port));
    return 1;
}
#endif

#ifndef SIM_WITHOUT_SetSatPatRate
EXPORT int DW_SetSatPatRate(unsigned char code)
{
    State &s = state();
    std::lock_guard lock(s.mutex);
    note(s, "SetSatPatRate " + std::to_string(code));
    s.fecCode = code;
    return 1;
}
#endif

#ifndef SIM_WITHOUT_TuneSatChannel
EXPORT int DW_TuneSatChannel(int symbolRateKs, int *frequencyMHz, int polarization, int lofMHz)
{
    State &s = state();
    std::lock_guard lock(s.mutex);
    const int frequency = frequencyMHz ? *frequencyMHz : 0;
    if (s.journaling) {
        note(s, "TuneSatChannel " + std::to_string(symbolRateKs) + " " + std::to_string(frequency) +
                    " " + std::to_string(polarization) + " " + std::to_string(lofMHz));
    }
    // The LNB is not modelled: the frequency is taken as the carrier's own.
    s.tuned = frequencyMHz != nullptr;
    s.tunedFrequencyMHz = frequency;
    s.tune =
        s.tuned ? s.sky.tune(symbolRateKs, frequency, polarization, s.fecCode) : sim::TuneResult{};
    return 1;
}
#endif

#ifndef SIM_WITHOUT_QuerySignal
EXPORT int DW_QuerySignal(int *quality, int *level, int *unused)
{
    State &s = state();
    std::lock_guard lock(s.mutex);
    note(s, "QuerySignal");
    int q = 0, l = 0;
    if (!s.script.empty()) {
        q = s.script.front().first;
        l = s.script.front().second;
        s.script.pop_front();
    } else {
        modelReading(s, q, l);
    }
    if (quality)
        *quality = q;
    if (level)
        *level = l;
    if (unused)
        *unused = 0;
    return 1;
}
#endif

EXPORT const char *Sim_Journal(void)
{
    State &s = state();
    std::lock_guard lock(s.mutex);
    s.journalText.clear();
    for (const std::string &line : s.journal) {
        s.journalText += line;
        s.journalText += '\n';
    }
    return s.journalText.c_str();
}

EXPORT void Sim_ClearJournal(void)
{
    State &s = state();
    std::lock_guard lock(s.mutex);
    s.journal.clear();
}

EXPORT void Sim_SetJournaling(int enabled)
{
    State &s = state();
    std::lock_guard lock(s.mutex);
    s.journaling = enabled != 0;
}

EXPORT void Sim_PushReading(int quality, int level)
{
    State &s = state();
    std::lock_guard lock(s.mutex);
    s.script.emplace_back(quality, level);
}

EXPORT int Sim_CarrierCount(void)
{
    State &s = state();
    std::lock_guard lock(s.mutex);
    return static_cast<int>(s.sky.size());
}

EXPORT void Sim_Reset(void)
{
    State &s = state();
    std::lock_guard lock(s.mutex);
    s.journal.clear();
    s.journalText.clear();
    s.journaling = true;
    s.script.clear();
    s.sky.clear();
    s.initialised = false;
    s.tuned = false;
    s.fecCode = 0;
    s.queries = 0;
}
