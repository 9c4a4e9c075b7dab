// Placeholder simulated receiver: journals every call, serves scripted
// readings, otherwise reads 0/0.
#include "devices/simulated/control.h"

#include <deque>
#include <string>
#include <utility>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {
std::string g_journal;
std::deque<std::pair<int, int>> g_script;

void note(const std::string &line)
{
    g_journal += line;
    g_journal += '\n';
}
} // namespace

EXPORT int DW_InitDevCtl(void)
{
    note("InitDevCtl");
    return 1;
}
EXPORT void DW_ReleaseDevCtl(void)
{
    note("ReleaseDevCtl");
}
EXPORT int DW_SetDiSEqCSwitchPort(int port)
{
    note("SetDiSEqCSwitchPort " + std::to_string(port));
    return 1;
}
EXPORT int DW_SetSatPatRate(unsigned char code)
{
    note("SetSatPatRate " + std::to_string(code));
    return 1;
}
EXPORT int DW_TuneSatChannel(int symbolRateKs, int *frequencyMHz, int polarization, int lofMHz)
{
    note("TuneSatChannel " + std::to_string(symbolRateKs) + " " +
         std::to_string(frequencyMHz ? *frequencyMHz : 0) + " " + std::to_string(polarization) +
         " " + std::to_string(lofMHz));
    return 1;
}
EXPORT int DW_QuerySignal(int *quality, int *level, int *)
{
    note("QuerySignal");
    int q = 0, l = 0;
    if (!g_script.empty()) {
        q = g_script.front().first;
        l = g_script.front().second;
        g_script.pop_front();
    }
    if (quality)
        *quality = q;
    if (level)
        *level = l;
    return 1;
}

EXPORT const char *Sim_Journal(void)
{
    return g_journal.c_str();
}
EXPORT void Sim_ClearJournal(void)
{
    g_journal.clear();
}
EXPORT void Sim_PushReading(int quality, int level)
{
    g_script.emplace_back(quality, level);
}
EXPORT void Sim_Reset(void)
{
    g_journal.clear();
    g_script.clear();
}
