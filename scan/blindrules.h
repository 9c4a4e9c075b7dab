#pragma once
// The blind search's text rules: the symbol-rate list of the "Несколько" mode
// and the texts of a point.
#include <QString>
#include <QStringList>
#include <optional>

namespace scan {

// Takes the next entry of a symbol-rate list: the text in front of the first
// comma, read as a whole number (leading blanks allowed), and leaves the text
// behind that comma in `rest`. Nothing, with `rest` unchanged, once no comma
// is left, so text behind the last comma is never used. An entry that is not a
// number, an empty one included, raises platform::ConvertError.
std::optional<int> takeListSymbolRate(QString &rest);

// "V" for polarization 0, "H" for any other.
QString polarizationLetter(int polarization);
// "11766--27500--H": frequency, symbol rate and letter of a point.
QString blindPointText(int frequencyMHz, int symbolRateKs, int polarization);
// The point followed by " качество сигнала : " and the reading.
QString blindFoundLine(int frequencyMHz, int symbolRateKs, int polarization, int reading);

// The 42 entries of both step lists.
QStringList blindStepItems();

} // namespace scan
