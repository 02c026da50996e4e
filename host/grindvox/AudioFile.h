#pragma once

#include "host/grindvox/AudioSource.h"
#include "host/grindvox/PendingFile.h"

#include <sndfile.h>

#include <string>
#include <vector>

// Audio files through libsndfile: reading any format it knows (WAV, AIFF, FLAC, OGG, ...) and
// writing the formats listed in OutputFormats().

struct OutputFormat {
    const char* name;        // what --format takes
    int sndfileFormat;       // container | encoding
    const char* description; // for --help and the summary
    bool integer;            // samples beyond full scale clip
};

const std::vector<OutputFormat>& OutputFormats();
// The format of that name, or null.
const OutputFormat* FindOutputFormat(const std::string& name);
// The format a file name's suffix suggests (.aif, .aiff, .flac, .ogg), else 32-bit float WAV.
const OutputFormat& OutputFormatForPath(const std::string& path);
// "wav, wav16, ..." for error messages.
std::string OutputFormatNames();

// An audio file opened for reading. Owns the libsndfile handle.
class SoundFileReader : public AudioSource {
public:
    SoundFileReader() = default;
    ~SoundFileReader() override;
    SoundFileReader(const SoundFileReader&) = delete;
    SoundFileReader& operator=(const SoundFileReader&) = delete;

    // False with "cannot read "PATH": REASON" in `error`.
    bool Open(const std::string& path, std::string* error);

    int Channels() const override { return mInfo.channels; }
    double SampleRate() const override { return mInfo.samplerate; }
    int64_t Frames() const override { return mInfo.frames; }
    std::string Name() const override { return mPath; }
    int64_t Read(float* interleaved, int64_t frames, std::string* error) override;

private:
    std::string mPath;
    SF_INFO mInfo = {};
    SNDFILE* mFile = nullptr;
};

// An audio file being written: frames go to a PendingFile, which Commit renames onto the
// destination. Destroying an uncommitted writer removes what it wrote.
class SoundFileWriter {
public:
    SoundFileWriter() = default;
    ~SoundFileWriter();
    SoundFileWriter(const SoundFileWriter&) = delete;
    SoundFileWriter& operator=(const SoundFileWriter&) = delete;

    bool Open(const std::string& path, const OutputFormat& format, double sampleRate, int channels,
              std::string* error);
    bool Write(const float* interleaved, int64_t frames, std::string* error);
    bool Commit(std::string* error);

private:
    void closeFile();

    PendingFile mPending;
    SNDFILE* mFile = nullptr;
};
