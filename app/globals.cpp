#include "app/globals.h"

QString WorkDir;
QString TransponderDir;
QStringList SatelliteFiles;
int SatelliteFileCount = 0;
platform::LibraryHandle DeviceLibrary = nullptr;
int TuneFrequency = 0;
int TuneSymbolRate = 0;
int TunePolarization = 0;
int TuneLof = 0;
std::uint8_t TuneFecCode = 0;
int MeterState = 0;
int CaughtCount = 0;
TForm1 *Form1 = nullptr;
TForm2 *Form2 = nullptr;
TForm3 *Form3 = nullptr;
TForm4 *Form4 = nullptr;
TForm5 *Form5 = nullptr;
TForm6 *Form6 = nullptr;
TForm7 *Form7 = nullptr;

void resetGlobals()
{
    WorkDir.clear();
    TransponderDir.clear();
    SatelliteFiles.clear();
    SatelliteFileCount = 0;
    DeviceLibrary = nullptr;
    TuneFrequency = TuneSymbolRate = TunePolarization = TuneLof = 0;
    TuneFecCode = 0;
    MeterState = 0;
    CaughtCount = 0;
}
