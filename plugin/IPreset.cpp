#include "plugin/IPreset.h"

#include "plugin/FixedText.h"

IPreset::IPreset() {
    SetName("empty");
}

void IPreset::SetName(const char* name) {
    CopyToField(mName, name);
}
