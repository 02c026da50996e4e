// Arbitrary bytes as a bank file ("fxb").
#include "PresetFileChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PresetFileChecks checks(&IPlugBase::LoadBankFromFXBChunk, &IPlugBase::SaveBankAsFXBChunk);
    checks.Run(data, size);
    return 0;
}
