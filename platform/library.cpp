#include "platform/library.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cstring>
#include <dlfcn.h>

Q_LOGGING_CATEGORY(lcLibrary, "orvanta.library")

namespace platform {
namespace {
QStringList g_searchDirs;

LibraryHandle tryOpen(const QString &path)
{
    LibraryHandle h = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!h)
        qCDebug(lcLibrary) << "dlopen" << path << "failed:" << dlerror();
    return h;
}
void *findExportSlowly(LibraryHandle library, const char *exportName);
} // namespace

LibraryHandle loadLibrary(const QString &bareName)
{
    const bool overridden = !g_searchDirs.isEmpty();
    QStringList dirs = g_searchDirs;
    if (!overridden)
        dirs << QCoreApplication::applicationDirPath() << QDir::currentPath();
    for (const QString &dir : std::as_const(dirs)) {
        const QString path = QDir(dir).absoluteFilePath(bareName);
        if (QFileInfo::exists(path)) {
            if (LibraryHandle h = tryOpen(path))
                return h;
        }
    }
    // Tests pick the exact library; the system's search is for real use only.
    return overridden ? nullptr : tryOpen(bareName);
}

QByteArray cSymbolFor(const char *exportName)
{
    QByteArray name(exportName);
    if (name.startsWith('?')) {
        const qsizetype end = name.indexOf("@@");
        return end < 0 ? name.mid(1) : name.mid(1, end - 1);
    }
    return name;
}

void *findExport(LibraryHandle library, const char *exportName)
{
    if (!library)
        return nullptr;
    // Searches look exports up millions of times: map the name on the stack
    // rather than through a heap copy.
    char buffer[128];
    const char *symbol = exportName;
    if (exportName[0] == '?') {
        const char *begin = exportName + 1;
        const char *end = std::strchr(begin, '@');
        while (end && end[1] != '@')
            end = std::strchr(end + 1, '@');
        const size_t length = end ? size_t(end - begin) : std::strlen(begin);
        if (length >= sizeof buffer)
            return findExportSlowly(library, exportName);
        std::memcpy(buffer, begin, length);
        buffer[length] = '\0';
        symbol = buffer;
    }
    void *address = dlsym(library, symbol);
    if (!address)
        qCDebug(lcLibrary) << "export" << exportName << "(" << symbol << ") not found";
    return address;
}

namespace {
// Names too long for the stack buffer.
void *findExportSlowly(LibraryHandle library, const char *exportName)
{
    const QByteArray symbol = cSymbolFor(exportName);
    void *address = dlsym(library, symbol.constData());
    if (!address)
        qCDebug(lcLibrary) << "export" << exportName << "(" << symbol << ") not found";
    return address;
}
} // namespace

void setLibrarySearchDirs(const QStringList &dirs)
{
    g_searchDirs = dirs;
}

} // namespace platform
