#include "plugin/IPreset.h"

#include <cstring>

IPreset::IPreset() {
    SetName("empty");
}

void IPreset::SetName(const char* name) {
    mName[0] = 0;
    if (!name) return;
    std::strncpy(mName, name, kNameSize - 1);
    mName[kNameSize - 1] = 0;
}
