#include "platform/wait.h"

#include "platform/errors.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace platform {
namespace {
std::function<void(int)> g_wait;
std::function<void()> g_processHook;
bool g_endRequested = false;

void throwIfEnding()
{
    if (g_endRequested)
        throw EndRequested();
}

// Tells throttled message points when a millisecond has passed since messages
// last ran there. A clock read at each of millions of points a second costs
// more than the rest of such a point; a flag costs next to nothing. A helper
// thread sleeps one millisecond after each run and then raises the flag; it
// sleeps without end while no loop uses these points.
class MillisecondGate
{
public:
    static MillisecondGate &instance()
    {
        // Never destroyed: the helper thread may outlive static destruction.
        static MillisecondGate *gate = new MillisecondGate;
        return *gate;
    }
    bool open() const { return m_open.load(std::memory_order_relaxed); }
    // Closes the gate and has it reopen a millisecond from now.
    void closeForAMillisecond()
    {
        m_open.store(false, std::memory_order_relaxed);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_armed = true;
        }
        m_wake.notify_one();
    }

private:
    MillisecondGate()
    {
        std::thread([this] { run(); }).detach();
    }
    void run()
    {
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_wake.wait(lock, [this] { return m_armed; });
                m_armed = false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            m_open.store(true, std::memory_order_relaxed);
        }
    }
    std::atomic<bool> m_open{true};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_armed = false;
};
} // namespace

void requestEnd()
{
    g_endRequested = true;
}

bool endRequested()
{
    return g_endRequested;
}

void clearEndRequest()
{
    g_endRequested = false;
}

void waitMs(int ms)
{
    throwIfEnding();
    if (g_wait)
        g_wait(ms);
    else if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

void processMessages()
{
    if (g_processHook) {
        // Take a copy: the hook may replace itself.
        auto hook = g_processHook;
        hook();
    }
    throwIfEnding();
    QCoreApplication::processEvents();
    throwIfEnding();
}

bool processMessagesThrottled()
{
    if (g_processHook) {
        auto hook = g_processHook;
        hook();
    }
    throwIfEnding();
    MillisecondGate &gate = MillisecondGate::instance();
    if (!gate.open())
        return false;
    QCoreApplication::processEvents();
    throwIfEnding();
    // Counted from the end of the run, so that a slow run is not followed at once by another.
    gate.closeForAMillisecond();
    return true;
}

void setWaitFunction(std::function<void(int)> wait)
{
    g_wait = std::move(wait);
}

void setProcessMessagesHook(std::function<void()> hook)
{
    g_processHook = std::move(hook);
}

} // namespace platform
