#pragma once
// Tuning rules and the tuning sequence shared by the lock, the signal log, the
// scan, the blind search and the FEC search.
#include "receiver/device.h"

#include <QString>
#include <cstdint>

namespace receiver {

// LNB type texts of the converter list, in list order.
inline const QString kLnbLinear = QStringLiteral("Линейный");
inline const QString kLnbCircular = QStringLiteral("Круговой");
inline const QString kLnbOther = QStringLiteral("Другой");

// The local oscillator for `frequencyMHz`: 10600 above 11700, else 9750; 5150
// below 10000; 10750 for a circular LNB; the typed value for "Другой" when
// `customLofText` is not empty (raises ConvertError when it is not a number).
int lofFor(int frequencyMHz, const QString &lnbTypeText, const QString &customLofText);

// The blind search's own rule: 10600 above 11700 MHz, else 9750.
int blindSearchLof(int frequencyMHz);

// Code sent for FEC list entry `index` (0..18); any other index gives 0.
std::uint8_t fecCodeForIndex(int index);

// The main window's fields that the tuning sequence reads.
struct TuningFields
{
    QString lnbType;    // shown text of the converter list
    QString customLof;  // text of the LOF field of a "Другой" converter
    int diseqcPort = 0; // 0 none, 1..4 Port A..D
    int fecIndex = -1;  // chosen FEC list entry
};

// P3 to P5: symbol rate (converted first), then frequency, polarization; the
// LOF back to 9750. Raises ConvertError with the offending text.
void readTuningParameters(const QString &frequencyText, const QString &symbolRateText,
                          int polarizationIndex);

// T1 to T7 on the global tuning parameters: LOF rule, DiSEqC port three times,
// FEC code, tune, let messages run, query into `reading`.
void TuningSequence(LibraryHandle library, const TuningFields &fields, Reading &reading);

// T1 and T2 alone (the FEC search tries its own codes after them).
void tuneLofAndDiseqc(LibraryHandle library, const TuningFields &fields);

} // namespace receiver
