#include "platform/library.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

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
    const QByteArray symbol = cSymbolFor(exportName);
    void *address = dlsym(library, symbol.constData());
    if (!address)
        qCDebug(lcLibrary) << "export" << exportName << "(" << symbol << ") not found";
    return address;
}

void setLibrarySearchDirs(const QStringList &dirs)
{
    g_searchDirs = dirs;
}

} // namespace platform
