#pragma once
// Run-time loading of a receiver library and lookup of its operations.
#include <QString>
#include <QStringList>

namespace platform {

using LibraryHandle = void *;

// Loads `bareName` from the program's own directory, then the current
// directory, then the system's default search. nullptr when none loads.
// A library is never unloaded.
LibraryHandle loadLibrary(const QString &bareName);

// The C symbol behind an export name: the text between a leading '?' and the
// first "@@" ("?DW_QuerySignal@@YGHPAH00@Z" gives "DW_QuerySignal"); other
// names stand for themselves.
QByteArray cSymbolFor(const char *exportName);

// Looks the export up again on every call; nullptr when the handle is null or
// the library lacks it.
void *findExport(LibraryHandle library, const char *exportName);

// Test seam: directories searched before the system's default, in place of the
// program's and the current directory, and without the system's search. An
// empty list restores the default.
void setLibrarySearchDirs(const QStringList &dirs);

} // namespace platform
