#include "monitor/activity.h"

namespace monitor {
namespace {
EndRequests g_requests; // user-interface thread only
}

EndRequests endRequests()
{
    return g_requests;
}

void noteStop()
{
    ++g_requests.stops;
}

void noteLogStart()
{
    ++g_requests.logStarts;
}

} // namespace monitor
