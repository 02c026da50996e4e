#pragma once

// How the host-side calls reach a component instance: the arguments, already converted to
// slots, are packed into a parameter block on the stack and sent to the instance's entry with
// its storage. Allocates nothing and takes no lock.
#include <CoreServices/Components.h>

#include <cstring>
#include <type_traits>

// Most arguments any published call has (AudioUnitCarbonViewCreate has six).
constexpr int kComponentMaxArguments = 8;

// Sends selector `what` to the instance with slot 0 = `slot0` and slots 1..count = args.
// badComponentInstance for a NULL or closed instance.
ComponentResult GrindvoxCallComponent(ComponentInstance ci, SInt16 what, long slot0,
                                      const long* args, int count);

// One argument as its slot: pointers and integers by value (signed types sign-extended,
// unsigned ones zero-extended), floating-point values in the slot's first bytes.
template <typename T>
long ComponentSlot(T value) {
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<long>(value);
    } else if constexpr (std::is_floating_point_v<T>) {
        long slot = 0;
        memcpy(&slot, &value, sizeof value);
        return slot;
    } else {
        return static_cast<long>(value);
    }
}

// Calls with the instance in slot 0 and the given arguments in slots 1..n.
template <typename... Args>
ComponentResult GrindvoxCallInstance(ComponentInstance ci, SInt16 what, Args... args) {
    const long slots[] = {0, ComponentSlot(args)...};
    return GrindvoxCallComponent(ci, what, reinterpret_cast<long>(ci), slots + 1,
                                 static_cast<int>(sizeof...(Args)));
}
