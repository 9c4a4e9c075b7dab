#pragma once
// The blind search's measured point; its text rules are in blindrules.h.
#include "platform/library.h"
#include "scan/blindrules.h"

#include <QString>

// The receiver library as the blind search loads it at each start; apart from
// the main window's DeviceLibrary although it names the same module.
extern platform::LibraryHandle BlindSearchLibrary;

// Tunes one point through BlindSearchLibrary and returns its quality (0 when
// the query is missing): FEC code from TuneFecCode, tune on a copy of the
// frequency, let messages run, query. Every export is looked up again.
int MeasurePoint(int symbolRateKs, int frequencyMHz, int polarization, int lofMHz);
