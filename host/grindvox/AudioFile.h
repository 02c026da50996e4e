#pragma once

#include "host/grindvox/AudioSource.h"
#include "host/grindvox/OutputFormat.h"
#include "host/grindvox/OutputTarget.h"
#include "host/grindvox/PendingFile.h"

#include <sndfile.h>

#include <string>

// Audio files through libsndfile: reading any format it knows (WAV, AIFF, FLAC, OGG, MP3, ...)
// and writing the formats of OutputFormats().

// An audio file opened for reading. Owns the libsndfile handle.
class SoundFileReader : public AudioSource {
public:
    SoundFileReader() = default;
    ~SoundFileReader() override;
    SoundFileReader(const SoundFileReader&) = delete;
    SoundFileReader& operator=(const SoundFileReader&) = delete;

    // `path` "-" reads standard input. False with "cannot read "PATH": REASON" in `error`.
    bool Open(const std::string& path, std::string* error);

    int Channels() const override { return mInfo.channels; }
    double SampleRate() const override { return mInfo.samplerate; }
    int64_t Frames() const override { return mInfo.frames; }
    int64_t DeclaredFrames() const override { return mDeclaredFrames; }
    std::string DecoderComplaint() const override;
    std::string Name() const override { return mPath == "-" ? "standard input" : mPath; }
    int64_t Read(float* interleaved, int64_t frames, std::string* error) override;

private:
    std::string mPath;
    SF_INFO mInfo = {};
    SNDFILE* mFile = nullptr;
    int64_t mDeclaredFrames = -1;
    size_t mLogAtOpen = 0; // the length of libsndfile's log once the header was read
    int64_t mFramesRead = 0;
    std::string mComplaint; // why reading stopped early, when it did
};

// An audio file being written: frames go to a PendingFile, which Commit makes final.
// Destroying an uncommitted writer removes what it wrote.
class SoundFileWriter {
public:
    SoundFileWriter() = default;
    ~SoundFileWriter();
    SoundFileWriter(const SoundFileWriter&) = delete;
    SoundFileWriter& operator=(const SoundFileWriter&) = delete;

    // Really opens the encoder at `sampleRate`, so a rate the format cannot take (Opus at
    // 44.1 kHz) is refused here, with libsndfile's reason, before any audio is rendered.
    bool Open(const OutputTarget& target, const OutputFormat& format, double sampleRate,
              int channels, bool noClobber, std::string* error);
    bool Write(const float* interleaved, int64_t frames, std::string* error);
    bool Commit(std::string* error);

private:
    void closeFile();

    PendingFile mPending;
    SNDFILE* mFile = nullptr;
};
