#pragma once

#include "containers/WDL_Mutex.h"

#include <cstdint>

class IPlugAU;

// The plug-in objects between their unit's Open and Close. Views and view components keep a
// plug-in pointer that outlives the unit when a host closes the unit first; they touch the
// plug-in only through Use, which runs while the plug-in is known to be alive and keeps Close
// from deleting it meanwhile. Each Open draws a new ticket, so a pointer kept from a closed unit
// does not pass for a later unit that happens to get the same address. Any thread.
class IPlugAULive {
public:
    // Open, once the plug-in is made; Close, before it is deleted.
    static void Add(IPlugAU* plug);
    static void Remove(IPlugAU* plug);
    // The plug-in's ticket while it is live, 0 otherwise.
    static uint64_t Ticket(const IPlugAU* plug);

    // Calls use(plug) under the set's lock when plug is live and, for a non-zero ticket, still
    // the unit that ticket was drawn for; false (use not called) otherwise.
    template <class F>
    static bool Use(IPlugAU* plug, uint64_t ticket, F use) {
        WDL_MutexLock lock(Mutex());
        const uint64_t current = TicketLocked(plug);
        if (current == 0 || (ticket != 0 && ticket != current)) return false;
        use(plug);
        return true;
    }

private:
    static WDL_Mutex* Mutex();
    static uint64_t TicketLocked(const IPlugAU* plug);
};
