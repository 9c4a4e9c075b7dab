#include "transponders/listfile.h"

#include "platform/cp1251.h"
#include "platform/textfile.h"

namespace transponders {

namespace {

// Among the lines before the first "DVB" line, the last "2=" line names the
// satellite; returns false at the "DVB" line, where the name is settled.
struct NameRule
{
    QByteArray name;
    bool operator()(QByteArrayView line)
    {
        if (line.contains(QByteArrayView("DVB")))
            return false;
        const qsizetype at = line.indexOf(QByteArrayView("2="));
        if (at >= 0)
            name = line.sliced(at + 2).toByteArray();
        return true;
    }
};

// A "DVB" line opens the entry region and an "[UPDATE]" line closes it.
struct EntryRule
{
    QStringList entries;
    bool inRegion = false;
    bool operator()(QByteArrayView line)
    {
        if (line.contains(QByteArrayView("DVB")))
            inRegion = true;
        if (line.contains(QByteArrayView("[UPDATE]")))
            inRegion = false;
        const qsizetype eq = line.indexOf('=');
        if (eq >= 0 && inRegion && !line.startsWith(QByteArrayView("0=")))
            entries << platform::fromCp1251(line.sliced(eq + 1));
        return true;
    }
};

} // namespace

QString ReadSatelliteName(const QString &path)
{
    NameRule rule;
    platform::readLines(path, std::ref(rule));
    return platform::fromCp1251(rule.name);
}

QStringList readTransponderEntries(const QString &path)
{
    EntryRule rule;
    platform::readLines(path, std::ref(rule));
    return rule.entries;
}

QString satelliteNameFromText(QByteArrayView text)
{
    NameRule rule;
    platform::splitLines(text, std::ref(rule));
    return platform::fromCp1251(rule.name);
}

QStringList entriesFromText(QByteArrayView text)
{
    EntryRule rule;
    platform::splitLines(text, std::ref(rule));
    return rule.entries;
}

bool isListFileName(const QString &name)
{
    return name.contains(QLatin1String(".ini"), Qt::CaseInsensitive);
}

} // namespace transponders
