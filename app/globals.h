#pragma once
// The global state of the main window's unit: one instance for the process,
// every item keeps its last value until an activity changes it.
#include "platform/library.h"

#include <QString>
#include <QStringList>
#include <cstdint>

class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;

extern QString WorkDir;
extern QString TransponderDir;
// Bare names of the list files found at start-up; entry n - 1 here belongs to
// item n - 1 of the satellite list. It grows with the files found.
extern QStringList SatelliteFiles;
extern int SatelliteFileCount;
extern platform::LibraryHandle DeviceLibrary;

extern int TuneFrequency;    // MHz
extern int TuneSymbolRate;   // kS/s
extern int TunePolarization; // 0 vertical, 1 horizontal
extern int TuneLof;          // MHz
extern std::uint8_t TuneFecCode;

extern int MeterState; // 1 once a lock, log or FEC search started; 5 once the level window closed
extern int CaughtCount;

extern TForm1 *Form1;
extern TForm2 *Form2;
extern TForm3 *Form3;
extern TForm4 *Form4;
extern TForm5 *Form5;
extern TForm6 *Form6;
extern TForm7 *Form7;

// Back to the start values (tests run many program lives in one process).
void resetGlobals();
