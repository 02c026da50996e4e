// The plug-in base's preset files: the current program as a VST 2 program file and every slot as
// a bank file, as bytes, as files and through the editor's file dialog.
//
// Readers never apply a file they have not checked whole. The value forms are checked field by
// field before the first parameter changes; the chunk forms hand an opaque blob to the
// plug-in, so what it changed is put back when the blob turns out not to be whole.
#include "plugin/IPlugBase.h"

#include "editor/IGraphics.h"
#include "plugin/FileBytes.h"
#include "plugin/Trace.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kNameField = 28;         // a program's name, zero-padded, maybe without terminator
constexpr int kProgramHeaderSize = 56; // up to a program's values or its chunk size
constexpr int kBankHeaderSize = 156;   // up to a bank's programs or its chunk size
constexpr int kBankReserved = 124;     // zeros after a bank's current program
constexpr int kProgramVersion = 1;
constexpr int kBankVersion = 2;
constexpr int kValueSize = 4; // a normalised value as a big-endian float

constexpr char kChunkMagic[] = "CcnK";
constexpr char kProgramValues[] = "FxCk";
constexpr char kProgramChunk[] = "FPCh";
constexpr char kBankValues[] = "FxBk";
constexpr char kBankChunk[] = "FBCh";

// What every file header says about the plug-in that wrote it.
struct Identity {
    int fxID;
    int fxVersion; // decimal: major × 10000 + minor × 100 + fix
    int nParams;
};

// Appends big-endian fields; remembers whether every append succeeded.
class FieldWriter {
public:
    explicit FieldWriter(ByteChunk* chunk) : mChunk(chunk) {}

    void Word(uint32_t value) {
        const unsigned char bytes[4] = {
            static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
            static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
        Bytes(bytes, 4);
    }
    void Int(int value) { Word(static_cast<uint32_t>(value)); }
    void Float(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        Word(bits);
    }
    void Magic(const char* magic) { Bytes(magic, 4); }
    void Name(const char* name) {
        char field[kNameField] = {};
        std::memcpy(field, name, strnlen(name, kNameField));
        Bytes(field, kNameField);
    }
    void Zeros(int n) {
        for (int i = 0; i < n; ++i)
            Bytes("", 1);
    }
    void Chunk(const ByteChunk* chunk) { Bytes(chunk->GetBytes(), chunk->Size()); }
    bool Ok() const { return mOk; }

private:
    void Bytes(const void* data, int n) { mOk = mChunk->PutBytes(data, n) >= 0 && mOk; }

    ByteChunk* mChunk;
    bool mOk = true;
};

// Reads big-endian fields from a position on; a field that does not fit reads as zero and makes
// the reader fail for good.
class FieldReader {
public:
    FieldReader(const ByteChunk* chunk, long long pos) : mChunk(chunk), mPos(pos) {}

    uint32_t Word() {
        const unsigned char* p = Take(4);
        if (!p) return 0;
        return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
               static_cast<uint32_t>(p[2]) << 8 | p[3];
    }
    int Int() { return static_cast<int>(Word()); }
    float Float() {
        const uint32_t bits = Word();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    bool Magic(const char* magic) {
        const unsigned char* p = Take(4);
        return p && std::memcmp(p, magic, 4) == 0;
    }
    // The name field as text of at most kNameField characters.
    void Name(char (&name)[kNameField + 1]) {
        std::memset(name, 0, sizeof name);
        if (const unsigned char* p = Take(kNameField)) std::memcpy(name, p, kNameField);
    }
    void Skip(int n) { Take(n); }
    bool Ok() const { return mOk; }
    long long Remaining() const { return mOk ? mChunk->Size() - mPos : 0; }

private:
    const unsigned char* Take(int n) {
        if (!mOk || mPos < 0 || mPos > mChunk->Size() - n) {
            mOk = false;
            return nullptr;
        }
        const unsigned char* p = mChunk->GetBytes() + mPos;
        mPos += n;
        return p;
    }

    const ByteChunk* mChunk;
    long long mPos;
    bool mOk = true;
};

// A program file's header, or a program record's inside a bank.
struct ProgramHeader {
    bool chunkMagic;
    char fxMagic[4];
    int version;
    int fxID;
    int nParams;
    char name[kNameField + 1];
};

ProgramHeader readProgramHeader(FieldReader& in) {
    ProgramHeader header;
    header.chunkMagic = in.Magic(kChunkMagic);
    in.Skip(4); // the byte size, which writers fill in differently
    const uint32_t fxMagic = in.Word();
    for (int i = 0; i < 4; ++i)
        header.fxMagic[i] = static_cast<char>(fxMagic >> (24 - 8 * i));
    header.version = in.Int();
    header.fxID = in.Int();
    in.Skip(4); // the version of the plug-in that wrote it, which any version may read
    header.nParams = in.Int();
    in.Name(header.name);
    return header;
}

// A record inside a bank need not carry the bank's plug-in code: hosts write their own there.
bool isProgramHeader(const FieldReader& in, const ProgramHeader& header, const char* fxMagic,
                     int nParams) {
    return in.Ok() && header.chunkMagic && std::memcmp(header.fxMagic, fxMagic, 4) == 0 &&
           header.version == kProgramVersion && header.nParams == nParams;
}

void putProgramHeader(FieldWriter& out, const char* fxMagic, const Identity& id, const char* name) {
    out.Magic(kChunkMagic);
    out.Int(0);
    out.Magic(fxMagic);
    out.Int(kProgramVersion);
    out.Int(id.fxID);
    out.Int(id.fxVersion);
    out.Int(id.nParams);
    out.Name(name);
}

// Checks that the next nParams values are finite; a file holding NaN or an infinity is damaged.
bool valuesFinite(FieldReader in, int nParams) {
    for (int i = 0; i < nParams; ++i) {
        if (!std::isfinite(in.Float())) return false;
    }
    return in.Ok();
}

double clampNormalized(float value) {
    return value < 0.0f ? 0.0 : (value > 1.0f ? 1.0 : static_cast<double>(value));
}

// Copies of the preset slots and the current index, so that a presets blob the plug-in stops
// reading part-way through can be undone.
class SlotCopies {
public:
    SlotCopies(const WDL_PtrList<IPreset>& slots, int currentIdx) : mCurrentIdx(currentIdx) {
        for (int i = 0; i < slots.GetSize(); ++i) {
            const IPreset* slot = slots.Get(i);
            IPreset* copy = new IPreset;
            copy->mInitialized = slot->mInitialized;
            copy->SetName(slot->mName);
            mComplete = copy->mChunk.PutChunk(&slot->mChunk) >= 0 && mComplete;
            if (!mCopies.Add(copy)) {
                delete copy;
                mComplete = false;
            }
        }
    }
    ~SlotCopies() { WDL_DeleteAll(mCopies); }
    SlotCopies(const SlotCopies&) = delete;
    SlotCopies& operator=(const SlotCopies&) = delete;

    bool Complete() const { return mComplete; }

    // Puts the copies back; the chunks move over without allocating.
    void PutBack(WDL_PtrList<IPreset>& slots, int* currentIdx) {
        for (int i = 0; i < slots.GetSize() && i < mCopies.GetSize(); ++i) {
            IPreset* slot = slots.Get(i);
            IPreset* copy = mCopies.Get(i);
            slots.GetList()[i] = copy;
            mCopies.GetList()[i] = slot;
        }
        *currentIdx = mCurrentIdx;
    }

private:
    WDL_PtrList<IPreset> mCopies{4096};
    int mCurrentIdx;
    bool mComplete = true;
};

// Asks the editor for a preset file's name, starting in `dir`; false without an editor or when
// the user cancelled.
bool promptForFile(IGraphics* editor, WDL_String* file, EFileAction action, WDL_String* dir,
                   const char* extension) {
    if (!editor) return false;
    editor->PromptForFile(file, action, dir, extension);
    return file->GetLength() > 0;
}

} // namespace

bool IPlugBase::SaveProgramAsFXPChunk(ByteChunk* chunk) {
    TRACE_CALL("%d", mCurrentPresetIdx);
    WDL_MutexLock lock(&mMutex);
    const Identity id{mUniqueID, GetEffectVersion(true), NParams()};
    FieldWriter out(chunk);
    if (DoesStateChunks()) {
        ByteChunk state;
        if (!SerializeState(&state)) return false;
        putProgramHeader(out, kProgramChunk, id, GetPresetName(mCurrentPresetIdx));
        out.Int(state.Size());
        out.Chunk(&state);
        return out.Ok();
    }
    putProgramHeader(out, kProgramValues, id, GetPresetName(mCurrentPresetIdx));
    for (int i = 0; i < NParams(); ++i)
        out.Float(static_cast<float>(GetParam(i)->GetNormalized()));
    return out.Ok();
}

bool IPlugBase::SaveBankAsFXBChunk(ByteChunk* chunk) {
    TRACE_CALL("%d", NPresets());
    WDL_MutexLock lock(&mMutex);
    const Identity id{mUniqueID, GetEffectVersion(true), NParams()};
    ByteChunk presets;
    if (DoesStateChunks() &&
        (!SerializePresets(&presets) || presets.Size() > INT_MAX - kBankHeaderSize - 4)) {
        return false;
    }

    FieldWriter out(chunk);
    out.Magic(kChunkMagic);
    out.Int(DoesStateChunks() ? presets.Size() + kBankHeaderSize + 4 : 0);
    out.Magic(DoesStateChunks() ? kBankChunk : kBankValues);
    out.Int(kBankVersion);
    out.Int(id.fxID);
    out.Int(id.fxVersion);
    out.Int(NPresets());
    out.Int(mCurrentPresetIdx);
    out.Zeros(kBankReserved);
    if (DoesStateChunks()) {
        out.Int(presets.Size());
        out.Chunk(&presets);
        return out.Ok();
    }

    for (int p = 0; p < NPresets(); ++p) {
        const IPreset* slot = mPresets.Get(p);
        putProgramHeader(out, kProgramValues, id, slot->mName);
        for (int i = 0; i < NParams(); ++i) {
            // A value the slot's blob lacks counts as 0, which normalises to the minimum; so does
            // NaN, which a float field could carry but no reader would accept.
            double value = 0.0;
            slot->mChunk.Get(&value, i * static_cast<int>(sizeof(double)));
            if (std::isnan(value)) value = 0.0;
            out.Float(static_cast<float>(GetParam(i)->GetNormalized(value)));
        }
    }
    return out.Ok();
}

bool IPlugBase::LoadProgramFromFXPChunk(const ByteChunk* chunk) {
    TRACE_CALL("%d", chunk ? chunk->Size() : -1);
    if (!chunk) return false;
    WDL_MutexLock lock(&mMutex);
    FieldReader in(chunk, 0);
    const ProgramHeader header = readProgramHeader(in);
    const char* form = DoesStateChunks() ? kProgramChunk : kProgramValues;
    if (!isProgramHeader(in, header, form, NParams()) || header.fxID != mUniqueID) return false;

    if (DoesStateChunks()) {
        const int size = in.Int();
        if (!in.Ok() || size < 0 || size != in.Remaining()) return false;
        ByteChunk state, before;
        if (state.PutBytes(chunk->GetBytes() + kProgramHeaderSize + 4, size) < 0 ||
            !SerializeState(&before)) {
            return false;
        }
        const bool whole = UnserializeState(&state, 0) == state.Size();
        if (!whole) UnserializeState(&before, 0);
        RedrawParamControls();
        if (!whole) return false;
        ModifyCurrentPreset(header.name);
        if (IPreset* slot = mPresets.Get(mCurrentPresetIdx)) slot->mInitialized = true;
        InformHostOfProgramChange();
        return true;
    }

    if (in.Remaining() != static_cast<long long>(kValueSize) * NParams()) return false;
    if (!valuesFinite(in, NParams())) return false;
    for (int i = 0; i < NParams(); ++i)
        GetParam(i)->SetNormalized(clampNormalized(in.Float()));
    // The program replaces the current preset, which is then applied as a whole: the effect
    // hears every parameter once, after all of them hold their new values.
    ModifyCurrentPreset(header.name);
    if (IPreset* slot = mPresets.Get(mCurrentPresetIdx)) slot->mInitialized = true;
    if (!RestorePreset(mCurrentPresetIdx)) {
        OnParamReset();
        RedrawParamControls();
    }
    InformHostOfProgramChange();
    return true;
}

bool IPlugBase::LoadBankFromFXBChunk(const ByteChunk* chunk) {
    TRACE_CALL("%d", chunk ? chunk->Size() : -1);
    if (!chunk) return false;
    WDL_MutexLock lock(&mMutex);
    FieldReader in(chunk, 0);
    const bool chunkMagic = in.Magic(kChunkMagic);
    in.Skip(4); // the byte size
    const bool fxMagic = in.Magic(DoesStateChunks() ? kBankChunk : kBankValues);
    const int version = in.Int();
    const int fxID = in.Int();
    in.Skip(4); // the writer's version
    const int nPrograms = in.Int();
    const int current = in.Int();
    in.Skip(kBankReserved);
    if (!in.Ok() || !chunkMagic || !fxMagic || version != kBankVersion || fxID != mUniqueID ||
        nPrograms < 1 || current < 0 || current >= nPrograms) {
        return false;
    }

    if (DoesStateChunks()) {
        // The presets blob holds exactly one entry per slot.
        const int size = in.Int();
        if (!in.Ok() || nPrograms != NPresets() || size < 0 || size != in.Remaining()) return false;
        ByteChunk presets, before;
        SlotCopies slots(mPresets, mCurrentPresetIdx);
        if (presets.PutBytes(chunk->GetBytes() + kBankHeaderSize + 4, size) < 0 ||
            !slots.Complete() || !SerializeState(&before)) {
            return false;
        }
        if (UnserializePresets(&presets, 0) != presets.Size()) {
            slots.PutBack(mPresets, &mCurrentPresetIdx);
            UnserializeState(&before, 0);
            RedrawParamControls();
            return false;
        }
        RestorePreset(current);
        InformHostOfProgramChange();
        return true;
    }

    // Every record is checked, header and values, before the first one is applied.
    const long long recordSize =
        kProgramHeaderSize + static_cast<long long>(kValueSize) * NParams();
    // Divided rather than multiplied: 2^31 - 1 programs of any size must not overflow.
    if (in.Remaining() % recordSize != 0 || in.Remaining() / recordSize != nPrograms) return false;
    for (int p = 0; p < nPrograms; ++p) {
        FieldReader record(chunk, kBankHeaderSize + p * recordSize);
        const ProgramHeader header = readProgramHeader(record);
        if (!isProgramHeader(record, header, kProgramValues, NParams())) return false;
        if (!valuesFinite(record, NParams())) return false;
    }

    const int previous = mCurrentPresetIdx;
    for (int p = 0; p < nPrograms && p < NPresets(); ++p) {
        FieldReader record(chunk, kBankHeaderSize + p * recordSize);
        const ProgramHeader header = readProgramHeader(record);
        for (int i = 0; i < NParams(); ++i)
            GetParam(i)->SetNormalized(clampNormalized(record.Float()));
        mCurrentPresetIdx = p;
        ModifyCurrentPreset(header.name);
        mPresets.Get(p)->mInitialized = true;
    }
    // A current program beyond the last slot was not loaded: the slot current before stays.
    mCurrentPresetIdx = previous;
    if (!RestorePreset(current < NPresets() ? current : previous)) {
        OnParamReset();
        RedrawParamControls();
    }
    InformHostOfProgramChange();
    return true;
}

bool IPlugBase::SaveProgramAsFXPFile(const char* path) {
    ByteChunk file;
    return SaveProgramAsFXPChunk(&file) && WriteFileBytes(path, file.GetBytes(), file.Size());
}

bool IPlugBase::SaveBankAsFXBFile(const char* path) {
    ByteChunk file;
    return SaveBankAsFXBChunk(&file) && WriteFileBytes(path, file.GetBytes(), file.Size());
}

bool IPlugBase::LoadProgramFromFXPFile(const char* path) {
    ByteChunk file;
    return ReadFileBytes(path, &file, kMaxPresetFileSize) && LoadProgramFromFXPChunk(&file);
}

bool IPlugBase::LoadBankFromFXBFile(const char* path) {
    ByteChunk file;
    return ReadFileBytes(path, &file, kMaxPresetFileSize) && LoadBankFromFXBChunk(&file);
}

bool IPlugBase::SaveProgramAsFXP(const char* defaultName) {
    WDL_String file(defaultName);
    return promptForFile(mGraphics, &file, kFileSave, &mPresetDir, "fxp") &&
           SaveProgramAsFXPFile(file.Get());
}

bool IPlugBase::SaveBankAsFXB(const char* defaultName) {
    WDL_String file(defaultName);
    return promptForFile(mGraphics, &file, kFileSave, &mPresetDir, "fxb") &&
           SaveBankAsFXBFile(file.Get());
}

bool IPlugBase::LoadProgramFromFXP() {
    WDL_String file(nullptr);
    return promptForFile(mGraphics, &file, kFileOpen, &mPresetDir, "fxp") &&
           LoadProgramFromFXPFile(file.Get());
}

bool IPlugBase::LoadBankFromFXB() {
    WDL_String file(nullptr);
    return promptForFile(mGraphics, &file, kFileOpen, &mPresetDir, "fxb") &&
           LoadBankFromFXBFile(file.Get());
}
