// Start-up cost against the size of the satellite lists.
//
// Writes 1000 list files of 500 transponder lines into a temporary folder and
// measures, with warm caches, the median of several runs of:
//   cat      /bin/cat reading all the files to /dev/null;
//   startup  a fresh process that does what the program's main() does (this
//            binary re-executed with --child, cwd = that folder, offscreen):
//            QApplication, createForms() (list names, library load, receiver
//            init, which makes the simulated receiver read every list whole),
//            show the main window and run the event loop until it is idle;
//            timed from fork to the child's "ready" byte on a pipe;
//   empty    the same with an empty Transponders folder: the fixed Qt cost;
//   sky      DW_InitDevCtl of the simulated receiver alone, in this process.
// The program itself reads no command line and has no way to quit by itself,
// so it is measured only as a cross-check: build/orvanta is started offscreen
// and timed until it has slept for 300 ms in a row, and its resident memory
// is read then (with the demo lists and with the 1000 files), then it gets
// SIGTERM.
#include "app/form1.h"
#include "app/globals.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

constexpr int kFiles = 1000;
constexpr int kLines = 500;
constexpr int kRuns = 7;

std::vector<std::string> writeLists(const std::string &dir)
{
    ::mkdir((dir + "/Transponders").c_str(), 0755);
    std::vector<std::string> paths;
    const char *systems[] = {"34,DVB-S", "23,S2", "56,DVB-S", "35,s2", "78,DVB-S"};
    for (int n = 0; n < kFiles; ++n) {
        std::string text = "[SATTYPE]\r\n1=" + std::to_string(n) + "\r\n2=Bench Satellite " +
                           std::to_string(n) + "\r\n\r\n[DVB]\r\n0=" + std::to_string(kLines) +
                           "\r\n";
        for (int i = 0; i < kLines; ++i) {
            const int frequency = 10700 + (i * 37 + n * 11) % 2050;
            text += std::to_string(i + 1) + "=" + std::to_string(frequency) + "," + "VHRL"[i % 4] +
                    "," + std::to_string(i % 3 ? 27500 : 22000) + "," + systems[i % 5] + "\r\n";
        }
        const std::string path = dir + "/Transponders/bench" + std::to_string(n) + ".ini";
        std::ofstream(path, std::ios::binary) << text;
        paths.push_back(path);
    }
    return paths;
}

// The child keeps every descriptor that is not close-on-exec (the ready pipe).
pid_t spawn(const std::vector<std::string> &args, const std::string &cwd, bool offscreen)
{
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(cwd.c_str()) != 0)
            ::_exit(127);
        const int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, 1);
        ::dup2(devnull, 2);
        if (offscreen)
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

int waitExit(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

double timeCat(const std::vector<std::string> &paths)
{
    std::vector<std::string> args{"/bin/cat"};
    args.insert(args.end(), paths.begin(), paths.end());
    const auto t0 = Clock::now();
    waitExit(spawn(args, "/", false));
    return msSince(t0);
}

std::string selfPath()
{
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

// Fork to "main window shown and event loop idle" of a child running main()'s
// steps. The child also reports how long createForms() took.
double timeStartup(const std::string &cwd, double &createFormsMs)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    const auto t0 = Clock::now();
    const pid_t pid = spawn({selfPath(), "--child", std::to_string(fds[1])}, cwd, true);
    ::close(fds[1]);
    char buffer[64] = {};
    const ssize_t n = ::read(fds[0], buffer, sizeof buffer - 1);
    const double ms = msSince(t0);
    ::close(fds[0]);
    waitExit(pid);
    createFormsMs = n > 0 ? std::atof(buffer) : -1;
    return n > 0 ? ms : -1;
}

int child(int readyFd)
{
    int argc = 1;
    char name[] = "orvanta";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanta"));
    const auto t0 = Clock::now();
    createForms();
    const double formsMs = msSince(t0);
    Form1->show();
    QTimer::singleShot(0, [&] {
        const std::string text = std::to_string(formsMs);
        if (::write(readyFd, text.c_str(), text.size()) < 0)
            std::perror("write");
        QCoreApplication::quit();
    });
    QApplication::exec();
    destroyForms();
    return 0;
}

struct ProcSample
{
    char state = '?';
    long rssKb = 0;
};

ProcSample sample(pid_t pid)
{
    ProcSample s;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close != std::string::npos && close + 2 < text.size())
        s.state = text[close + 2];
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            s.rssKb = std::atol(line.c_str() + 6);
    }
    return s;
}

// Starts the real program, waits until it has slept 300 ms in a row (sampled
// every 2 ms), and returns the time to the start of that quiet spell and the
// resident memory then.
bool realProgram(const std::string &program, const std::string &cwd, double &idleMs, long &rssKb)
{
    const auto t0 = Clock::now();
    const pid_t pid = spawn({program}, cwd, true);
    double quietSince = -1;
    bool ok = false;
    while (msSince(t0) < 20000) {
        const ProcSample s = sample(pid);
        const double now = msSince(t0);
        if (s.state == 'S') {
            if (quietSince < 0)
                quietSince = now;
            if (now - quietSince >= 300) {
                idleMs = quietSince;
                rssKb = s.rssKb;
                ok = true;
                break;
            }
        } else {
            quietSince = -1;
            if (s.state == 'Z' || s.state == '?')
                break;
        }
        ::usleep(2000);
    }
    ::kill(pid, SIGTERM);
    waitExit(pid);
    return ok;
}

double timeSkyRead(const std::string &cwd, int &carriers)
{
    void *library = ::dlopen(ORVANTA_BINARY_DIR "/DWUSBAPI.dll", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return -1;
    auto init = reinterpret_cast<int (*)()>(::dlsym(library, "DW_InitDevCtl"));
    auto count = reinterpret_cast<int (*)()>(::dlsym(library, "Sim_CarrierCount"));
    char previous[4096];
    if (!init || !count || !::getcwd(previous, sizeof previous) || ::chdir(cwd.c_str()) != 0)
        return -1;
    std::vector<double> runs;
    for (int i = 0; i < kRuns; ++i) {
        const auto t0 = Clock::now();
        init();
        runs.push_back(msSince(t0));
    }
    carriers = count();
    if (::chdir(previous) != 0)
        return -1;
    return median(runs);
}

void removeTree(const std::string &dir)
{
    const pid_t pid = spawn({"/bin/rm", "-rf", dir}, "/", false);
    waitExit(pid);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0)
        return child(std::atoi(argv[2]));

    char listsTemplate[] = "/tmp/orvanta-bench-XXXXXX";
    char emptyTemplate[] = "/tmp/orvanta-bench-empty-XXXXXX";
    if (!::mkdtemp(listsTemplate) || !::mkdtemp(emptyTemplate)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string lists = listsTemplate;
    const std::string empty = emptyTemplate;
    ::mkdir((empty + "/Transponders").c_str(), 0755);
    const std::vector<std::string> paths = writeLists(lists);
    long long bytes = 0;
    for (const std::string &p : paths) {
        struct stat st;
        if (::stat(p.c_str(), &st) == 0)
            bytes += st.st_size;
    }
    std::printf("lists: %d files x %d lines, %.1f MB in %s\n", kFiles, kLines, bytes / 1e6,
                lists.c_str());

    timeCat(paths); // warm the cache
    std::vector<double> cat, startup, empties, forms, emptyForms;
    for (int i = 0; i < kRuns; ++i) {
        cat.push_back(timeCat(paths));
        double f = 0;
        startup.push_back(timeStartup(lists, f));
        forms.push_back(f);
        empties.push_back(timeStartup(empty, f));
        emptyForms.push_back(f);
    }
    int carriers = 0;
    const double sky = timeSkyRead(lists, carriers);

    const double catMs = median(cat);
    const double startupMs = median(startup);
    const double emptyMs = median(empties);
    std::printf("cat of all files:                   %8.1f ms\n", catMs);
    std::printf("start-up to idle main window:       %8.1f ms  (createForms %.1f ms)\n", startupMs,
                median(forms));
    std::printf("same with no lists:                 %8.1f ms  (createForms %.1f ms)\n", emptyMs,
                median(emptyForms));
    std::printf("simulated receiver init (sky read): %8.1f ms  (%d distinct carriers kept of the "
                "first %d entries)\n",
                sky, carriers, 100000);
    std::printf("ratio start-up / cat:               %8.2f\n", startupMs / catMs);
    std::printf("ratio (start-up - no lists) / cat:  %8.2f\n", (startupMs - emptyMs) / catMs);

    const std::string program = ORVANTA_BINARY_DIR "/orvanta";
    double idleMs = 0;
    long rssKb = 0;
    if (realProgram(program, ORVANTA_SOURCE_DIR "/demo", idleMs, rssKb))
        std::printf("build/orvanta, demo lists: idle after ~%.0f ms, VmRSS %ld kB\n", idleMs,
                    rssKb);
    else
        std::printf("build/orvanta, demo lists: did not become idle\n");
    if (realProgram(program, lists, idleMs, rssKb))
        std::printf("build/orvanta, %d lists:  idle after ~%.0f ms, VmRSS %ld kB\n", kFiles, idleMs,
                    rssKb);
    else
        std::printf("build/orvanta, %d lists: did not become idle\n", kFiles);

    removeTree(lists);
    removeTree(empty);
    return 0;
}
