#include "tests/support/fixture.h"

#include "app/form1.h"
#include "app/globals.h"
#include "platform/library.h"
#include "platform/wait.h"

#include <QCoreApplication>
#include <QFile>

#include <dlfcn.h>

namespace testing_support {

namespace {
template <typename Fn> Fn controlFn(void *library, const char *name)
{
    return library ? reinterpret_cast<Fn>(dlsym(library, name)) : nullptr;
}
} // namespace

bool SimControl::available() const
{
    return controlFn<const char *(*)()>(m_library, "Sim_Journal") != nullptr;
}

QStringList SimControl::journal() const
{
    auto fn = controlFn<const char *(*)()>(m_library, "Sim_Journal");
    if (!fn)
        return {};
    return QString::fromUtf8(fn()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void SimControl::clearJournal()
{
    if (auto fn = controlFn<void (*)()>(m_library, "Sim_ClearJournal"))
        fn();
}

void SimControl::pushReading(int quality, int level)
{
    if (auto fn = controlFn<void (*)(int, int)>(m_library, "Sim_PushReading"))
        fn(quality, level);
}

void SimControl::reset()
{
    if (auto fn = controlFn<void (*)()>(m_library, "Sim_Reset"))
        fn();
}

QString missingLibraryDir()
{
    static QTemporaryDir empty;
    return empty.path();
}

QString variantLibraryDir(const QString &variant)
{
    return QStringLiteral(ORVANTA_BINARY_DIR "/testlibs/") + variant;
}

ProgramFixture::ProgramFixture(const FixtureOptions &options)
{
    m_previousDir = QDir::currentPath();
    QDir(m_dir.path()).mkdir(QStringLiteral("Transponders"));
    for (auto it = options.lists.begin(); it != options.lists.end(); ++it)
        writeList(it.key(), it.value());
    QDir::setCurrent(m_dir.path());

    resetGlobals();
    platform::setLibrarySearchDirs(
        {options.libraryDir.isEmpty() ? QStringLiteral(ORVANTA_BINARY_DIR) : options.libraryDir});
    platform::setWaitFunction([this](int ms) { waits << ms; });
    platform::setProcessMessagesHook({});
    platform::clearEndRequest();

    // The same library file stays loaded across fixtures: clear its state.
    const QString libPath =
        (options.libraryDir.isEmpty() ? QStringLiteral(ORVANTA_BINARY_DIR) : options.libraryDir) +
        QStringLiteral("/DWUSBAPI.dll");
    if (void *h = dlopen(QFile::encodeName(libPath).constData(), RTLD_NOW | RTLD_NOLOAD)) {
        SimControl(h).reset();
        dlclose(h);
    }
    if (options.createForms)
        start();
}

void ProgramFixture::start()
{
    if (m_started)
        return;
    m_started = true;
    createForms();
    sim.setLibrary(DeviceLibrary);
}

ProgramFixture::~ProgramFixture()
{
    if (m_started)
        destroyForms();
    platform::setWaitFunction({});
    platform::setProcessMessagesHook({});
    platform::setLibrarySearchDirs({});
    platform::clearEndRequest();
    resetGlobals();
    QDir::setCurrent(m_previousDir);
}

QString ProgramFixture::path(const QString &relative) const
{
    return m_dir.filePath(relative);
}

void ProgramFixture::writeList(const QString &name, const QByteArray &bytes)
{
    QFile f(m_dir.filePath(QStringLiteral("Transponders/") + name));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

} // namespace testing_support
