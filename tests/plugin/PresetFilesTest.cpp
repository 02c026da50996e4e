#include "TestPlug.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// Builds a file the way the layout table describes it, field by field, independently of the
// plug-in's writer.
class Fixture {
public:
    Fixture& Text(const char* text, size_t field) {
        const size_t n = std::strlen(text);
        for (size_t i = 0; i < field; ++i)
            bytes.push_back(i < n ? static_cast<unsigned char>(text[i]) : 0);
        return *this;
    }
    Fixture& Magic(const char* code) { return Text(code, 4); }
    Fixture& Int(uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(static_cast<unsigned char>(v >> shift));
        return *this;
    }
    Fixture& Float(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        return Int(bits);
    }
    Fixture& Zeros(size_t n) {
        bytes.insert(bytes.end(), n, 0);
        return *this;
    }
    Fixture& Append(const Bytes& more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
    // The 56-byte header of a program in the value form.
    Fixture& ProgramHeader(const char* name, uint32_t nParams = 3, const char* fxMagic = "FxCk") {
        return Magic("CcnK")
            .Int(0)
            .Magic(fxMagic)
            .Int(1)
            .Magic("Test")
            .Int(10203)
            .Int(nParams)
            .Text(name, 28);
    }
    Fixture& BankHeader(uint32_t nPrograms, uint32_t current, const char* fxMagic = "FxBk",
                        uint32_t byteSize = 0) {
        return Magic("CcnK")
            .Int(byteSize)
            .Magic(fxMagic)
            .Int(2)
            .Magic("Test")
            .Int(10203)
            .Int(nPrograms)
            .Int(current)
            .Zeros(124);
    }
    Fixture& Program(const char* name, float mode, float gain, float on) {
        return ProgramHeader(name).Float(mode).Float(gain).Float(on);
    }

    Bytes bytes;
};

Bytes bytesOf(const ByteChunk& chunk) {
    return Bytes(chunk.GetBytes(), chunk.GetBytes() + chunk.Size());
}

// A chunk holding the bytes of a file.
struct Chunk : ByteChunk {
    explicit Chunk(const Bytes& bytes) { PutBytes(bytes.data(), static_cast<int>(bytes.size())); }
};

// A chunk holding doubles, as a preset slot's blob does.
struct Doubles : ByteChunk {
    Doubles(std::initializer_list<double> values) {
        for (double v : values)
            Put(&v);
    }
};

// Three parameters whose normalised values are exact in a float: "Mode" 0..4 (1 is 0.25),
// "Gain" 2..10 (6 is 0.5), "On" (true is 1). The plug-in's code is 'Test', its version 1.2.3.
class Plug : public TestPlug {
public:
    explicit Plug(int nPresets = 10, bool chunks = false) : TestPlug("1-1", 3, nPresets) {
        GetParam(0)->InitInt("Mode", 1, 0, 4);
        GetParam(1)->InitDouble("Gain", 6.0, 2.0, 10.0, 0.5);
        GetParam(2)->InitBool("On", true);
        mStateChunks = chunks;
        MakeDefaultPreset("Init", nPresets);
    }
    void InformHostOfProgramChange() override { ++programChanges; }
    IPreset* Slot(int i) { return mPresets.Get(i); }
    void SetCurrent(int idx) { mCurrentPresetIdx = idx; }

    // Everything a load may change.
    struct Observed {
        Bytes params, presets;
        int current;
        bool operator==(const Observed& o) const {
            return params == o.params && presets == o.presets && current == o.current;
        }
    };
    Observed Observe() {
        ByteChunk params, presets;
        SerializeParams(&params);
        SerializePresets(&presets);
        return {bytesOf(params), bytesOf(presets), GetCurrentPresetIdx()};
    }
    std::vector<double> Values() const {
        return {GetParam(0)->mValue, GetParam(1)->mValue, GetParam(2)->mValue};
    }
    std::vector<double> SlotValues(int i) {
        std::vector<double> values(static_cast<size_t>(Slot(i)->mChunk.Size()) / 8);
        std::memcpy(values.data(), Slot(i)->mChunk.GetBytes(), values.size() * 8);
        return values;
    }

    int programChanges = 0;
};

// Loading must refuse and change nothing the host or the effect could see. A chunk the plug-in
// stopped reading part-way is undone, so there the effect hears the old values again.
void expectRefusedUnchanged(Plug& plug, const Bytes& file, bool bank, const std::string& what,
                            bool undone = false) {
    const Plug::Observed before = plug.Observe();
    plug.changes.clear();
    const int programChanges = plug.programChanges;
    Chunk chunk(file);
    EXPECT_FALSE(bank ? plug.LoadBankFromFXBChunk(&chunk) : plug.LoadProgramFromFXPChunk(&chunk))
        << what;
    EXPECT_TRUE(plug.Observe() == before) << what;
    EXPECT_TRUE(undone || plug.changes.empty()) << what << ": the effect heard a change";
    EXPECT_EQ(plug.programChanges, programChanges) << what;
}

// A plug-in whose slots and values all differ, current slot 2.
void makeDistinct(Plug& plug) {
    for (int i = 0; i < plug.NPresets(); ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Slot %d", i);
        plug.Slot(i)->SetName(name);
        plug.Slot(i)->mChunk.Clear();
        const Doubles values{static_cast<double>(i % 5), 2.0 + i * 0.5, i % 2 ? 1.0 : 0.0};
        plug.Slot(i)->mChunk.PutChunk(&values);
    }
    ASSERT_TRUE(plug.RestorePreset(2));
}

// A ten-program bank whose program p holds Mode p % 5 / 4, Gain p / 16, On 1.
Fixture tenProgramBank(uint32_t nPrograms = 10, uint32_t current = 3) {
    Fixture bank;
    bank.BankHeader(nPrograms, current);
    for (uint32_t p = 0; p < nPrograms; ++p) {
        const std::string name = "Bank " + std::to_string(p);
        bank.Program(name.c_str(), static_cast<float>(p % 5) / 4.0f, static_cast<float>(p) / 16.0f,
                     1.0f);
    }
    return bank;
}

} // namespace

TEST(PresetFiles, AProgramIsItsHeaderNameAndNormalisedValuesBigEndian) {
    Plug plug;
    plug.Slot(0)->SetName("Bright");
    ByteChunk file;
    ASSERT_TRUE(plug.SaveProgramAsFXPChunk(&file));
    const Fixture expected = Fixture().Program("Bright", 0.25f, 0.5f, 1.0f);
    ASSERT_EQ(file.Size(), 56 + 3 * 4);
    EXPECT_EQ(bytesOf(file), expected.bytes);
}

TEST(PresetFiles, ABankIsItsHeaderAndOneProgramRecordPerSlot) {
    Plug plug(3);
    plug.Slot(1)->SetName("Short");
    plug.Slot(1)->mChunk.Clear();
    const Doubles one{4.0}; // Gain and On missing: they count as 0, the minimum
    plug.Slot(1)->mChunk.PutChunk(&one);
    plug.Slot(2)->mChunk.Clear();
    const Doubles odd{9.0, std::nan(""), 0.7}; // out of range, NaN, not a step
    plug.Slot(2)->mChunk.PutChunk(&odd);
    plug.SetCurrent(1);

    ByteChunk file;
    ASSERT_TRUE(plug.SaveBankAsFXBChunk(&file));
    const Fixture expected = Fixture()
                                 .BankHeader(3, 1)
                                 .Program("Init", 0.25f, 0.5f, 1.0f)
                                 .Program("Short", 1.0f, 0.0f, 0.0f)
                                 .Program("Init", 1.0f, 0.0f, 0.7f);
    ASSERT_EQ(file.Size(), 156 + 3 * 68);
    EXPECT_EQ(bytesOf(file), expected.bytes);
}

TEST(PresetFiles, NamesFillTheirFieldWithoutTerminatorAndLongerOnesAreCut) {
    const char* exact = "Twenty-eight characters, yes"; // 28
    ASSERT_EQ(std::strlen(exact), 28u);
    Plug plug;
    plug.Slot(0)->SetName("Twenty-eight characters, yes, and more");
    ByteChunk file;
    ASSERT_TRUE(plug.SaveProgramAsFXPChunk(&file));
    EXPECT_EQ(Bytes(file.GetBytes() + 28, file.GetBytes() + 56), Bytes(exact, exact + 28));
    EXPECT_EQ(file.GetBytes()[56], 0x3E) << "the first value follows the name at once";

    Plug other;
    const Chunk named(Fixture().Program(exact, 0.0f, 0.0f, 0.0f).bytes);
    ASSERT_TRUE(other.LoadProgramFromFXPChunk(&named));
    EXPECT_STREQ(other.GetPresetName(0), exact);
}

TEST(PresetFiles, SavingLoadingAndSavingAgainGivesTheSameBytes) {
    for (bool chunks : {false, true}) {
        Plug source(10, chunks);
        makeDistinct(source);
        ByteChunk program, bank;
        ASSERT_TRUE(source.SaveProgramAsFXPChunk(&program));
        ASSERT_TRUE(source.SaveBankAsFXBChunk(&bank));

        Plug programTarget(10, chunks), bankTarget(10, chunks);
        programTarget.SetCurrent(2);
        ASSERT_TRUE(programTarget.LoadProgramFromFXPChunk(&program));
        ASSERT_TRUE(bankTarget.LoadBankFromFXBChunk(&bank));
        ByteChunk programAgain, bankAgain;
        ASSERT_TRUE(programTarget.SaveProgramAsFXPChunk(&programAgain));
        ASSERT_TRUE(bankTarget.SaveBankAsFXBChunk(&bankAgain));
        EXPECT_EQ(bytesOf(programAgain), bytesOf(program)) << "chunks " << chunks;
        EXPECT_EQ(bytesOf(bankAgain), bytesOf(bank)) << "chunks " << chunks;
        EXPECT_TRUE(bankTarget.Observe() == source.Observe()) << "chunks " << chunks;
    }
}

TEST(PresetFiles, AProgramReplacesTheCurrentPresetAndTheEffectHearsEveryValue) {
    Plug plug;
    plug.SetCurrent(4);
    plug.changes.clear();
    const Chunk file(Fixture().Program("Loaded", 0.75f, 0.25f, 0.0f).bytes);
    ASSERT_TRUE(plug.LoadProgramFromFXPChunk(&file));

    EXPECT_EQ(plug.Values(), (std::vector<double>{3.0, 4.0, 0.0}));
    EXPECT_STREQ(plug.GetPresetName(4), "Loaded");
    EXPECT_EQ(plug.SlotValues(4), (std::vector<double>{3.0, 4.0, 0.0}));
    EXPECT_EQ(plug.SlotValues(3), (std::vector<double>{1.0, 6.0, 1.0})) << "other slots kept";
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 4);
    EXPECT_EQ(plug.changes, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(plug.programChanges, 1);

    // An empty name keeps the slot's own.
    const Chunk unnamed(Fixture().Program("", 0.0f, 0.0f, 0.0f).bytes);
    ASSERT_TRUE(plug.LoadProgramFromFXPChunk(&unnamed));
    EXPECT_STREQ(plug.GetPresetName(4), "Loaded");
}

TEST(PresetFiles, ValuesOutsideZeroToOneAreClampedAndNonFiniteOnesRefuseTheFile) {
    Plug plug;
    const Chunk wide(Fixture().Program("Wide", -1.0f, 2.0f, -0.5f).bytes);
    ASSERT_TRUE(plug.LoadProgramFromFXPChunk(&wide));
    EXPECT_EQ(plug.Values(), (std::vector<double>{0.0, 10.0, 0.0}));

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float bad : {nan, inf, -inf}) {
        expectRefusedUnchanged(plug, Fixture().Program("Bad", 0.5f, 0.5f, bad).bytes, false,
                               "value " + std::to_string(bad));
        Fixture bank = tenProgramBank();
        Fixture last = Fixture().Program("Bad", bad, 0.0f, 0.0f);
        bank.bytes.resize(bank.bytes.size() - last.bytes.size());
        expectRefusedUnchanged(plug, bank.Append(last.bytes).bytes, true,
                               "bank value " + std::to_string(bad));
    }
}

TEST(PresetFiles, EveryTruncationAndAnyTrailingByteIsRefusedWithNothingChanged) {
    for (bool chunks : {false, true}) {
        Plug plug(10, chunks);
        makeDistinct(plug);
        ByteChunk program, bank;
        ASSERT_TRUE(plug.SaveProgramAsFXPChunk(&program));
        ASSERT_TRUE(plug.SaveBankAsFXBChunk(&bank));

        Plug target(10, chunks);
        for (int length = 0; length < program.Size(); ++length) {
            expectRefusedUnchanged(target, Bytes(program.GetBytes(), program.GetBytes() + length),
                                   false, "program cut to " + std::to_string(length));
        }
        for (int length = 0; length < bank.Size(); ++length) {
            expectRefusedUnchanged(target, Bytes(bank.GetBytes(), bank.GetBytes() + length), true,
                                   "bank cut to " + std::to_string(length));
        }
        Bytes longer = bytesOf(program);
        longer.push_back(0);
        expectRefusedUnchanged(target, longer, false, "program with a trailing byte");
        longer = bytesOf(bank);
        longer.push_back(0);
        expectRefusedUnchanged(target, longer, true, "bank with a trailing byte");
    }
}

TEST(PresetFiles, AHeaderOfAnotherPlugInOrFormIsRefusedWithNothingChanged) {
    Plug plug;
    makeDistinct(plug);
    struct Patch {
        const char* what;
        size_t offset;
        uint32_t value;
    };
    const Bytes program = Fixture().Program("P", 0.5f, 0.5f, 0.5f).bytes;
    for (const Patch& patch : {Patch{"chunk magic", 0, 0x43636e6c}, Patch{"fx magic", 8, 'FPCh'},
                               Patch{"version", 12, 2}, Patch{"plug-in code", 16, 'Tesu'},
                               Patch{"parameter count", 24, 4}, Patch{"no parameters", 24, 0}}) {
        Fixture patched;
        patched.bytes = program;
        Fixture word;
        word.Int(patch.value);
        std::copy(word.bytes.begin(), word.bytes.end(), patched.bytes.begin() + patch.offset);
        expectRefusedUnchanged(plug, patched.bytes, false, patch.what);
    }

    const Bytes bank = tenProgramBank().bytes;
    for (const Patch& patch : {Patch{"bank magic", 0, 'CcnJ'}, Patch{"bank fx magic", 8, 'FBCh'},
                               Patch{"bank version", 12, 1}, Patch{"bank plug-in code", 16, 'Tesu'},
                               Patch{"record magic", 156 + 5 * 68, 'CcnJ'},
                               Patch{"record fx magic", 156 + 5 * 68 + 8, 'FPCh'},
                               Patch{"record version", 156 + 9 * 68 + 12, 2},
                               Patch{"record parameter count", 156 + 68 + 24, 2}}) {
        Fixture patched;
        patched.bytes = bank;
        Fixture word;
        word.Int(patch.value);
        std::copy(word.bytes.begin(), word.bytes.end(), patched.bytes.begin() + patch.offset);
        expectRefusedUnchanged(plug, patched.bytes, true, patch.what);
    }

    // The plug-in code inside a record is the host's business; the bank's own is checked.
    Bytes foreignRecord = bank;
    foreignRecord[156 + 16] = 'X';
    Chunk chunk(foreignRecord);
    EXPECT_TRUE(plug.LoadBankFromFXBChunk(&chunk));
}

TEST(PresetFiles, ABankFillsEverySlotAndSelectsItsCurrentProgram) {
    Plug plug;
    makeDistinct(plug);
    plug.changes.clear();
    const Chunk bank(tenProgramBank(10, 3).bytes);
    ASSERT_TRUE(plug.LoadBankFromFXBChunk(&bank));

    EXPECT_EQ(plug.GetCurrentPresetIdx(), 3);
    EXPECT_EQ(plug.Values(), (std::vector<double>{3.0, 2.0 + 8.0 * 3 / 16, 1.0}));
    for (int p = 0; p < 10; ++p) {
        EXPECT_EQ(plug.GetPresetName(p), "Bank " + std::to_string(p));
        EXPECT_EQ(plug.SlotValues(p),
                  (std::vector<double>{static_cast<double>(p % 5), 2.0 + 8.0 * p / 16, 1.0}));
    }
    EXPECT_EQ(plug.programChanges, 1);
}

TEST(PresetFiles, ProgramCountsAndCurrentProgramsOutsideTheBankAreRefused) {
    Plug plug;
    makeDistinct(plug);
    Fixture empty;
    empty.BankHeader(0, 0);
    expectRefusedUnchanged(plug, empty.bytes, true, "no programs");
    Bytes negative = tenProgramBank().bytes;
    negative[24] = negative[25] = negative[26] = negative[27] = 0xFF;
    expectRefusedUnchanged(plug, negative, true, "-1 programs");
    Bytes huge = tenProgramBank().bytes;
    huge[24] = 0x7F;
    huge[25] = huge[26] = huge[27] = 0xFF;
    expectRefusedUnchanged(plug, huge, true, "2^31 - 1 programs");
    expectRefusedUnchanged(plug, tenProgramBank(10, 0xFFFFFFFF).bytes, true, "current -1");
    expectRefusedUnchanged(plug, tenProgramBank(10, 10).bytes, true, "current 10 of 10");
}

TEST(PresetFiles, ProgramsBeyondTheLastSlotAreCheckedButNotLoaded) {
    Plug plug;
    makeDistinct(plug);
    const Chunk eleven(tenProgramBank(11, 9).bytes);
    ASSERT_TRUE(plug.LoadBankFromFXBChunk(&eleven));
    EXPECT_STREQ(plug.GetPresetName(9), "Bank 9") << "the eleventh program leaves slot 9 alone";
    EXPECT_EQ(plug.SlotValues(9), (std::vector<double>{4.0, 2.0 + 8.0 * 9 / 16, 1.0}));
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 9);

    // Its current program is the one not loaded: the slot that was current stays so.
    Plug other;
    makeDistinct(other);
    const Chunk beyond(tenProgramBank(11, 10).bytes);
    ASSERT_TRUE(other.LoadBankFromFXBChunk(&beyond));
    EXPECT_EQ(other.GetCurrentPresetIdx(), 2);
    EXPECT_EQ(other.Values(), other.SlotValues(2));
    EXPECT_STREQ(other.GetPresetName(2), "Bank 2");
}

TEST(PresetFiles, ABadRecordAnywhereRefusesTheWholeBankBeforeAnySlotChanges) {
    Plug plug;
    makeDistinct(plug);
    Bytes bank = tenProgramBank().bytes;
    bank[156 + 9 * 68 + 8] = 'X'; // the last record's fx magic
    expectRefusedUnchanged(plug, bank, true, "last record damaged");
}

TEST(PresetFiles, TheChunkFormsCarryTheStateAndPresetsBlobs) {
    Plug plug(2, true);
    plug.Slot(1)->SetName("B");
    ByteChunk program, bank, state, presets;
    ASSERT_TRUE(plug.SaveProgramAsFXPChunk(&program));
    ASSERT_TRUE(plug.SaveBankAsFXBChunk(&bank));
    plug.SerializeState(&state);
    plug.SerializePresets(&presets);

    const Fixture expectedProgram =
        Fixture().ProgramHeader("Init", 3, "FPCh").Int(24).Append(bytesOf(state));
    EXPECT_EQ(bytesOf(program), expectedProgram.bytes);
    const Fixture expectedBank = Fixture()
                                     .BankHeader(2, 0, "FBCh", presets.Size() + 160)
                                     .Int(presets.Size())
                                     .Append(bytesOf(presets));
    EXPECT_EQ(bytesOf(bank), expectedBank.bytes);

    // The value forms are not what this plug-in reads.
    expectRefusedUnchanged(plug, Fixture().Program("P", 0, 0, 0).bytes, false, "values form");
    expectRefusedUnchanged(plug, tenProgramBank(2, 0).bytes, true, "values bank");
}

TEST(PresetFiles, AChunkTheStateStopsReadingEarlyIsUndone) {
    Plug plug(3, true);
    makeDistinct(plug);
    // A blob of two values where the state holds three: the size field agrees with the file, so
    // only the state's own reading can tell.
    const Doubles two{4.0, 10.0};
    const Bytes program =
        Fixture().ProgramHeader("Short", 3, "FPCh").Int(16).Append(bytesOf(two)).bytes;
    expectRefusedUnchanged(plug, program, false, "short state", true);

    // A presets blob whose last slot ends early.
    ByteChunk presets;
    plug.SerializePresets(&presets);
    presets.Resize(presets.Size() - 8);
    const Bytes bank = Fixture()
                           .BankHeader(3, 0, "FBCh", presets.Size() + 160)
                           .Int(presets.Size())
                           .Append(bytesOf(presets))
                           .bytes;
    expectRefusedUnchanged(plug, bank, true, "short presets", true);
}

TEST(PresetFiles, DumpsWriteOneLineOfSourceForTheCurrentPreset) {
    Plug plug;
    plug.GetParam(1)->Set(3.25);
    const std::string path = ::testing::TempDir() + "preset_dump.txt";
    const char* names[] = {"kMode", "kGain", "kOn"};
    ASSERT_TRUE(plug.DumpPresetSrcCode(path.c_str(), names));
    std::ifstream src(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(src), {}),
              "  MakePresetFromNamedParams(\"name\", 3,\n    kMode, 1,\n    kGain, 3.250000,\n"
              "    kOn, true);\n");

    // Slot 0's blob: 1.0, 6.0, 1.0 as little-endian doubles.
    ASSERT_TRUE(plug.DumpPresetBlob(path.c_str()));
    std::ifstream blob(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(blob), {}),
              "MakePresetFromBlob(\"name\", \"AAAAAAAA8D8AAAAAAAAYQAAAAAAAAPA/\", 24);\n");

    const char* missing[] = {"kMode", nullptr, "kOn"};
    EXPECT_FALSE(plug.DumpPresetSrcCode(path.c_str(), missing));
    EXPECT_FALSE(plug.DumpPresetSrcCode(path.c_str(), nullptr));
    EXPECT_FALSE(plug.DumpPresetBlob((::testing::TempDir() + "no/such/folder").c_str()));
    plug.SetCurrent(10);
    EXPECT_FALSE(plug.DumpPresetBlob(path.c_str())) << "no current preset";
    std::remove(path.c_str());
}

TEST(PresetFiles, FilesSaveAndLoadAndAFailedSaveKeepsTheOldFile) {
    const std::string dir = ::testing::TempDir() + "preset_files_" + std::to_string(getpid());
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    const std::string fxp = dir + "/p.fxp", fxb = dir + "/b.fxb";

    Plug source;
    makeDistinct(source);
    ASSERT_TRUE(source.SaveProgramAsFXPFile(fxp.c_str()));
    ASSERT_TRUE(source.SaveBankAsFXBFile(fxb.c_str()));
    Plug target;
    ASSERT_TRUE(target.LoadBankFromFXBFile(fxb.c_str()));
    EXPECT_TRUE(target.Observe() == source.Observe());
    ASSERT_TRUE(target.LoadProgramFromFXPFile(fxp.c_str()));
    EXPECT_FALSE(target.LoadProgramFromFXPFile((dir + "/missing.fxp").c_str()));
    EXPECT_FALSE(target.LoadProgramFromFXPFile(dir.c_str())) << "a folder is no file";
    EXPECT_FALSE(target.LoadBankFromFXBFile(fxp.c_str())) << "a program is no bank";

    // A disk that fills up during the write: the file size limit makes writes fail as a full disk
    // does (and as root's permissions cannot be made to).
    std::ifstream in(fxb, std::ios::binary);
    const Bytes old((std::istreambuf_iterator<char>(in)), {});
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_anyway = source.SaveBankAsFXBFile(fxb.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(saved_anyway);
    std::ifstream after(fxb, std::ios::binary);
    EXPECT_EQ(Bytes((std::istreambuf_iterator<char>(after)), {}), old);

    int entries = 0; // no temporary file is left behind
    if (DIR* folder = opendir(dir.c_str())) {
        while (dirent* entry = readdir(folder))
            entries += entry->d_name[0] != '.';
        closedir(folder);
    }
    EXPECT_EQ(entries, 2);
    std::remove(fxp.c_str());
    std::remove(fxb.c_str());
    rmdir(dir.c_str());
}

namespace {

// A file dialog that answers with a name set beforehand ("" is Cancel) and moves the folder on,
// as a dialog the user navigated in would.
class DialogGraphics : public FakeGraphics {
public:
    void PromptForFile(WDL_String* filename, EFileAction action, WDL_String* dir,
                       const char* extensions) override {
        asked.push_back({filename->Get(), action, dir->Get(), extensions});
        filename->Set(answer.c_str());
        dir->Set("/chosen");
    }
    struct Asked {
        std::string name;
        EFileAction action;
        std::string dir;
        std::string extensions;
    };
    std::vector<Asked> asked;
    std::string answer;
};

} // namespace

TEST(PresetFiles, TheDialogFormsAskTheEditorForTheFileAndStartWhereTheLastOneEnded) {
    Plug plug;
    EXPECT_FALSE(plug.SaveProgramAsFXP("x")) << "no editor, no dialog";
    auto* dialog = new DialogGraphics;
    plug.AttachGraphics(dialog);
    const std::string path = ::testing::TempDir() + "dialog_" + std::to_string(getpid()) + ".fxb";

    dialog->answer = "";
    EXPECT_FALSE(plug.SaveBankAsFXB("Bank")) << "cancelled";
    dialog->answer = path;
    EXPECT_TRUE(plug.SaveBankAsFXB("Bank"));
    makeDistinct(plug);
    const Plug::Observed changed = plug.Observe();
    EXPECT_TRUE(plug.LoadBankFromFXB());
    EXPECT_FALSE(plug.Observe() == changed) << "the saved bank came back";
    EXPECT_FALSE(plug.LoadProgramFromFXP()) << "a bank is no program";

    ASSERT_EQ(dialog->asked.size(), 4u);
    EXPECT_EQ(dialog->asked[0].name, "Bank");
    EXPECT_EQ(dialog->asked[0].action, kFileSave);
    EXPECT_EQ(dialog->asked[0].dir, "");
    EXPECT_EQ(dialog->asked[0].extensions, "fxb");
    EXPECT_EQ(dialog->asked[1].dir, "/chosen");
    EXPECT_EQ(dialog->asked[2].name, "") << "opening offers no name";
    EXPECT_EQ(dialog->asked[2].action, kFileOpen);
    EXPECT_EQ(dialog->asked[3].extensions, "fxp");
    std::remove(path.c_str());
}
