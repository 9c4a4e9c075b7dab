#include "platform/convert.h"

#include "platform/errors.h"

#include <cstring>

namespace platform {

ConvertError::ConvertError(const QString &text)
    : Error(QStringLiteral("'%1' is not a valid integer value").arg(text))
{}

IoError IoError::fromErrno(int err)
{
    return IoError(QString::fromLocal8Bit(std::strerror(err)));
}

IoError IoError::cannotCreate(const QString &path, int err)
{
    return IoError(QStringLiteral("Cannot create file \"%1\". %2")
                       .arg(path, QString::fromLocal8Bit(std::strerror(err))));
}

bool tryStrToInt(QStringView text, int &value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == n)
        return false;
    // Accumulate as a negative number so that -2147483648 fits.
    long long result = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        result = result * 10 + (c - u'0');
        if (result > 2147483648LL)
            return false;
    }
    if (negative)
        result = -result;
    if (result > 2147483647LL)
        return false;
    value = static_cast<int>(result);
    return true;
}

int StrToInt(const QString &text)
{
    int value = 0;
    if (!tryStrToInt(text, value))
        throw ConvertError(text);
    return value;
}

} // namespace platform
