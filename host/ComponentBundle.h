#pragma once

#include <CoreServices/CoreServices.h>

#include <string>
#include <vector>

// A component bundle loaded the way a host loads one: its Contents/Info.plist read, the bundle
// registered with the platform by its identifier, its module opened and every component it
// declares (and the view component beside it) registered with the Component Manager. Owns the
// module handle and keeps it open for the life of the process, since instances may outlive the
// loader.
class ComponentBundle {
public:
    struct Entry {
        ComponentDescription description;
        std::string name;
        UInt32 version = 0;
        Component component = nullptr;     // the audio unit
        Component viewComponent = nullptr; // its Carbon view component, when it has one
    };

    // Loads the bundle folder; false with the reason in `error` (the bundle then registers
    // nothing).
    bool Load(const std::string& path, std::string* error);

    const std::string& Identifier() const { return mIdentifier; }
    const std::vector<Entry>& Components() const { return mEntries; }
    // The first component of the given type (0: any), or null.
    Component Find(OSType type = 0) const;

private:
    std::string mPath;
    std::string mIdentifier;
    std::vector<Entry> mEntries;
};

// The folder of the Grindvox bundle next to a program: $GRINDVOX_COMPONENT when set, else
// the Grindvox.component folder beside (or one level above) the executable.
std::string DefaultComponentPath();
