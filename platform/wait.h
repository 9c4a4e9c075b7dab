#pragma once
// Blocking waits and the points where pending window messages run. Tests
// replace both: waits are recorded instead of slept, and a hook can act at
// exactly the points where the program lets messages run.
#include <functional>

namespace platform {

// Blocks the calling thread for `ms` milliseconds (the receiver settle waits).
void waitMs(int ms);
// Lets pending window messages run (Application.ProcessMessages).
void processMessages();
// The same point for loops that pass it millions of times a second: the test
// hook runs every time, but the messages themselves only when the last run
// through here was at least a millisecond ago, so a pending click is still
// handled within a millisecond at the same place. True when they ran.
bool processMessagesThrottled();

// Closing the main window ends the program even while a long activity runs
// inside a handler: once an end is requested, every later wait and message
// point raises EndRequested, which unwinds the activity to its handler's
// guard (which drops it silently). The main window's close requests it.
void requestEnd();
bool endRequested();
void clearEndRequest(); // tests only: a new program life

// Test seams; an empty function restores the real behaviour.
void setWaitFunction(std::function<void(int ms)> wait);
void setProcessMessagesHook(std::function<void()> hook);

} // namespace platform
