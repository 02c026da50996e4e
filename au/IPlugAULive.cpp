#include "au/IPlugAULive.h"

#include <map>

namespace {

struct LiveSet {
    std::map<const IPlugAU*, uint64_t> tickets;
    uint64_t lastTicket = 0;
};

// Made on first use, so that it exists before any module constructor, and never destroyed, as
// a view may be closed while the process ends.
LiveSet& liveSet() {
    static auto* live = new LiveSet;
    return *live;
}

} // namespace

WDL_Mutex* IPlugAULive::Mutex() {
    static auto* mutex = new WDL_Mutex;
    return mutex;
}

uint64_t IPlugAULive::TicketLocked(const IPlugAU* plug) {
    if (!plug) return 0;
    const auto found = liveSet().tickets.find(plug);
    return found == liveSet().tickets.end() ? 0 : found->second;
}

void IPlugAULive::Add(IPlugAU* plug) {
    if (!plug) return;
    WDL_MutexLock lock(Mutex());
    liveSet().tickets[plug] = ++liveSet().lastTicket;
}

void IPlugAULive::Remove(IPlugAU* plug) {
    WDL_MutexLock lock(Mutex());
    liveSet().tickets.erase(plug);
}

uint64_t IPlugAULive::Ticket(const IPlugAU* plug) {
    WDL_MutexLock lock(Mutex());
    return TicketLocked(plug);
}
