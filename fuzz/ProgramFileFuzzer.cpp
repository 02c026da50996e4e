// Arbitrary bytes as a program file ("fxp").
#include "PresetFileChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PresetFileChecks checks(&IPlugBase::LoadProgramFromFXPChunk, &IPlugBase::SaveProgramAsFXPChunk);
    checks.Run(data, size);
    return 0;
}
