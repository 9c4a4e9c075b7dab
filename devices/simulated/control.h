#pragma once
// Test control of the simulated receiver, exported beside the six receiver
// operations. Tests reach these through dlsym on the loaded library.
extern "C" {
// Every receiver call so far, one line each, e.g. "InitDevCtl",
// "SetDiSEqCSwitchPort 3", "SetSatPatRate 34",
// "TuneSatChannel 27500 11766 1 10600" (symbol rate, frequency, polarization,
// LOF), "QuerySignal", "ReleaseDevCtl". Lines end with '\n'.
const char *Sim_Journal(void);
void Sim_ClearJournal(void);
// Readings served by the next queries, first in first out, before the sky
// model answers again.
void Sim_PushReading(int quality, int level);
// Journal, scripted readings and sky back to their start.
void Sim_Reset(void);
}
