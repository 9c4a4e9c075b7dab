#include "transponders/listfile.h"

#include "platform/cp1251.h"
#include "platform/textfile.h"

namespace transponders {

QString ReadSatelliteName(const QString &path)
{
    QByteArray name;
    platform::readLines(path, [&](QByteArrayView line) {
        if (line.contains(QByteArrayView("DVB")))
            return false;
        const qsizetype at = line.indexOf(QByteArrayView("2="));
        if (at >= 0)
            name = line.sliced(at + 2).toByteArray();
        return true;
    });
    return platform::fromCp1251(name);
}

QStringList readTransponderEntries(const QString &path)
{
    QStringList entries;
    bool inRegion = false;
    platform::readLines(path, [&](QByteArrayView line) {
        if (line.contains(QByteArrayView("DVB")))
            inRegion = true;
        if (line.contains(QByteArrayView("[UPDATE]")))
            inRegion = false;
        const qsizetype eq = line.indexOf('=');
        if (eq >= 0 && inRegion && !line.startsWith(QByteArrayView("0=")))
            entries << platform::fromCp1251(line.sliced(eq + 1));
        return true;
    });
    return entries;
}

bool isListFileName(const QString &name)
{
    return name.contains(QLatin1String(".ini"), Qt::CaseInsensitive);
}

} // namespace transponders
