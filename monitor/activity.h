#pragma once
// The lock, the log start and the meter and log ticks let window messages run
// between their steps, so the user's Stop (or a log start, which freezes the
// meter) can be handled in the middle of them. Each such request bumps a
// serial number; the interrupted activity compares it before switching its
// timer on again, so the user's request wins over the activity's last step.
#include <cstdint>

namespace monitor {

struct EndRequests
{
    std::uint64_t stops = 0;     // Stop pressed
    std::uint64_t logStarts = 0; // signal log started: the meter freezes

    bool operator==(const EndRequests &) const = default;
};

EndRequests endRequests();
void noteStop();
void noteLogStart();

} // namespace monitor
