#include "effect/Grindvox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes bytesOf(const ByteChunk& chunk) {
    return Bytes(chunk.GetBytes(), chunk.GetBytes() + chunk.Size());
}

// The default Grindvox's program, written out from the layout: "CcnK", byte size 0, "FxCk",
// version 1, 'gRvx', version 1.2.0 as 10200 (0x27D8), 7 parameters, "Init" in 28 bytes, then
// Filter 0, Cutoff 11000 (the top of its range: 1.0), Resonance 0, Bits 16 (1.0), Ratio 0,
// Mix Mode 0, Parallel 0 as big-endian floats.
// clang-format off
const Bytes kDefaultProgram = {
    'C', 'c', 'n', 'K',  0, 0, 0, 0,  'F', 'x', 'C', 'k',  0, 0, 0, 1,
    'g', 'R', 'v', 'x',  0, 0, 0x27, 0xD8,  0, 0, 0, 7,
    'I', 'n', 'i', 't',  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,
    0, 0, 0, 0,
    0, 0, 0, 0,  0x3F, 0x80, 0, 0,  0, 0, 0, 0,  0x3F, 0x80, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,
    0, 0, 0, 0};
// clang-format on

std::string readText(const std::string& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

} // namespace

TEST(GrindvoxPresetFiles, TheDefaultProgramMatchesItsLayoutByteForByte) {
    Grindvox plug{IPlugInstanceInfo()};
    ByteChunk file;
    ASSERT_TRUE(plug.SaveProgramAsFXPChunk(&file));
    ASSERT_EQ(file.Size(), 84);
    EXPECT_EQ(bytesOf(file), kDefaultProgram);
}

TEST(GrindvoxPresetFiles, TheBankHoldsTenSuchProgramsAfterItsHeader) {
    Grindvox plug{IPlugInstanceInfo()};
    ByteChunk file;
    ASSERT_TRUE(plug.SaveBankAsFXBChunk(&file));
    ASSERT_EQ(file.Size(), 996);
    const Bytes header = {'C', 'c', 'n', 'K', 0, 0, 0,    0,    'F', 'x', 'B', 'k', 0, 0, 0, 2,
                          'g', 'R', 'v', 'x', 0, 0, 0x27, 0xD8, 0,   0,   0,   10,  0, 0, 0, 0};
    const Bytes bytes = bytesOf(file);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 32), header);
    EXPECT_EQ(Bytes(bytes.begin() + 32, bytes.begin() + 156), Bytes(124, 0));
    for (int p = 0; p < 10; ++p) {
        EXPECT_EQ(Bytes(bytes.begin() + 156 + 84 * p, bytes.begin() + 156 + 84 * (p + 1)),
                  kDefaultProgram)
            << "program " << p;
    }
}

TEST(GrindvoxPresetFiles, ANegativeValueLoadsAsTheMinimumNotBelowIt) {
    Grindvox plug{IPlugInstanceInfo()};
    Bytes file = kDefaultProgram;
    const unsigned char minusOne[] = {0xBF, 0x80, 0, 0};
    std::copy(minusOne, minusOne + 4, file.begin() + 60); // Cutoff
    ByteChunk chunk;
    chunk.PutBytes(file.data(), static_cast<int>(file.size()));
    ASSERT_TRUE(plug.LoadProgramFromFXPChunk(&chunk));
    EXPECT_EQ(plug.GetParam(Grindvox::kCutoff)->mValue, 20.0);
}

TEST(GrindvoxPresetFiles, TheDumpsWriteTheDefaultStateAsSource) {
    Grindvox plug{IPlugInstanceInfo()};
    const std::string path = ::testing::TempDir() + "grindvox_dump.txt";
    const char* names[] = {"kFilter", "kCutoff",  "kResonance", "kBits",
                           "kRatio",  "kMixMode", "kParallel"};
    ASSERT_TRUE(plug.DumpPresetSrcCode(path.c_str(), names));
    EXPECT_EQ(readText(path), "  MakePresetFromNamedParams(\"name\", 7,\n"
                              "    kFilter, 0,\n"
                              "    kCutoff, 11000.000000,\n"
                              "    kResonance, 0.000000,\n"
                              "    kBits, 16,\n"
                              "    kRatio, 0,\n"
                              "    kMixMode, 0,\n"
                              "    kParallel, false);\n");

    ASSERT_TRUE(plug.DumpPresetBlob(path.c_str()));
    EXPECT_EQ(readText(path),
              "MakePresetFromBlob(\"name\", "
              "\"AAAAAAAAAAAAAAAAAHzFQAAAAAAAAAAAAAAAAAAAMEAAAAAAAAAAAAAAAAAAAAAAAAAAAA"
              "AAAAA=\", 56);\n");
    std::remove(path.c_str());
}
