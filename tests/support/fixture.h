#pragma once
// A whole program life for one test: a temporary working directory with its
// own Transponders/ lists, recorded dialogs and waits, the simulated receiver
// loaded through the program's loader, and the seven windows.
#include "platform/dialogs.h"

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace testing_support {

// The simulated receiver's test controls, reached through the library handle.
class SimControl
{
public:
    explicit SimControl(void *library = nullptr) : m_library(library) {}
    void setLibrary(void *library) { m_library = library; }
    bool available() const;
    QStringList journal() const; // one entry per receiver call
    void clearJournal();
    void pushReading(int quality, int level);
    void reset();

private:
    void *m_library;
};

struct FixtureOptions
{
    // File name -> bytes; written into Transponders/ before start-up.
    QMap<QString, QByteArray> lists;
    // Directory holding the DWUSBAPI.dll to load; empty: the simulated one
    // beside the test binary. Use missingLibraryDir() for none at all.
    QString libraryDir;
    bool createForms = true;
};

// A directory without any receiver library.
QString missingLibraryDir();
// Directory of a simulated receiver variant built without one export, e.g.
// variantLibraryDir("without-QuerySignal").
QString variantLibraryDir(const QString &variant);

class ProgramFixture
{
public:
    explicit ProgramFixture(const FixtureOptions &options = {});
    ~ProgramFixture();
    ProgramFixture(const ProgramFixture &) = delete;
    ProgramFixture &operator=(const ProgramFixture &) = delete;

    // Runs start-up now (when createForms was false).
    void start();
    QString path(const QString &relative) const;
    void writeList(const QString &name, const QByteArray &bytes);

    platform::RecordingDialogs dialogs;
    QList<int> waits; // every platform wait, in ms, in order
    SimControl sim;

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    bool m_started = false;
};

} // namespace testing_support
