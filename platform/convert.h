#pragma once
#include <QString>

namespace platform {

// Whole-number conversion of a field text: leading blanks, an optional sign and
// decimal digits within the signed 32-bit range. Anything else, empty text
// included, raises ConvertError("'text' is not a valid integer value").
int StrToInt(const QString &text);

// The same rule without raising: false when the text is not a whole number.
bool tryStrToInt(QStringView text, int &value);

} // namespace platform
