#pragma once
// Test control of the simulated receiver, exported beside the six receiver
// operations. Tests reach these through dlsym on the loaded library.
extern "C" {
// Every receiver call so far, one line each, e.g. "InitDevCtl",
// "SetDiSEqCSwitchPort 3", "SetSatPatRate 34",
// "TuneSatChannel 27500 11766 1 10600" (symbol rate, frequency, polarization,
// LOF), "QuerySignal", "ReleaseDevCtl". Lines end with '\n'. Only the newest
// 100 000 lines are kept. The text stays valid until the next control call.
const char *Sim_Journal(void);
void Sim_ClearJournal(void);
// 0 stops journaling (long benchmarks), anything else resumes it.
void Sim_SetJournaling(int enabled);
// Readings served by the next queries, first in first out, before the sky
// model answers again.
void Sim_PushReading(int quality, int level);
// Carriers read from the lists at the last DW_InitDevCtl.
int Sim_CarrierCount(void);
// Journal (and journaling back on), scripted readings and sky back to their
// start; the sky is read again at the next DW_InitDevCtl.
void Sim_Reset(void);
}
