#include "host/grindvox/AudioFile.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

std::string lowerSuffix(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string suffix = path.substr(dot + 1);
    for (char& c : suffix)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return suffix;
}

} // namespace

const std::vector<OutputFormat>& OutputFormats() {
    static const std::vector<OutputFormat> formats = {
        {"wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, "WAV, 32-bit float", false},
        {"wav16", SF_FORMAT_WAV | SF_FORMAT_PCM_16, "WAV, 16-bit integer", true},
        {"wav24", SF_FORMAT_WAV | SF_FORMAT_PCM_24, "WAV, 24-bit integer", true},
        {"aiff", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, "AIFF, 32-bit float", false},
        {"aiff16", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, "AIFF, 16-bit integer", true},
        {"aiff24", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, "AIFF, 24-bit integer", true},
        {"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "FLAC, 24-bit", true},
        {"flac16", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "FLAC, 16-bit", true},
        {"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, "Ogg Vorbis", false},
    };
    return formats;
}

const OutputFormat* FindOutputFormat(const std::string& name) {
    for (const OutputFormat& format : OutputFormats()) {
        if (name == format.name) return &format;
    }
    return nullptr;
}

const OutputFormat& OutputFormatForPath(const std::string& path) {
    const std::string suffix = lowerSuffix(path);
    const char* name = suffix == "aif" || suffix == "aiff" ? "aiff"
                       : suffix == "flac"                  ? "flac"
                       : suffix == "ogg"                   ? "ogg"
                                                           : "wav";
    return *FindOutputFormat(name);
}

std::string OutputFormatNames() {
    std::string names;
    for (const OutputFormat& format : OutputFormats()) {
        if (!names.empty()) names += ", ";
        names += format.name;
    }
    return names;
}

SoundFileReader::~SoundFileReader() {
    if (mFile) sf_close(mFile);
}

bool SoundFileReader::Open(const std::string& path, std::string* error) {
    mPath = path;
    mInfo = {};
    // The system's reason when the file cannot even be opened; libsndfile's when it is no
    // audio it knows.
    if (std::FILE* probe = std::fopen(path.c_str(), "rb")) {
        std::fclose(probe);
    } else {
        *error = "cannot read \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    mFile = sf_open(path.c_str(), SFM_READ, &mInfo);
    if (!mFile) {
        *error = "cannot read \"" + path + "\": " + sf_strerror(nullptr);
        return false;
    }
    if (mInfo.samplerate <= 0 || mInfo.channels <= 0 || mInfo.frames < 0) {
        *error = "cannot read \"" + path + "\": it declares no usable sample rate or channels";
        return false;
    }
    return true;
}

int64_t SoundFileReader::Read(float* interleaved, int64_t frames, std::string* error) {
    const sf_count_t n = sf_readf_float(mFile, interleaved, frames);
    if (n < frames && sf_error(mFile) != SF_ERR_NO_ERROR) {
        *error = "cannot read \"" + mPath + "\": " + sf_strerror(mFile);
        return -1;
    }
    return n;
}

SoundFileWriter::~SoundFileWriter() {
    closeFile();
}

void SoundFileWriter::closeFile() {
    if (mFile) sf_close(mFile);
    mFile = nullptr;
}

bool SoundFileWriter::Open(const std::string& path, const OutputFormat& format, double sampleRate,
                           int channels, std::string* error) {
    SF_INFO info = {};
    info.samplerate = static_cast<int>(std::lround(sampleRate));
    info.channels = channels;
    info.format = format.sndfileFormat;
    if (!sf_format_check(&info)) {
        *error = std::string("cannot write \"") + path + "\" as " + format.description + " at " +
                 std::to_string(info.samplerate) + " Hz with " + std::to_string(channels) +
                 " channels";
        return false;
    }
    if (!mPending.Create(path, error)) return false;
    mFile = sf_open_fd(mPending.Descriptor(), SFM_WRITE, &info, SF_FALSE);
    if (!mFile) {
        *error = "cannot write \"" + path + "\": " + sf_strerror(nullptr);
        mPending.Abandon();
        return false;
    }
    // Integer formats clip what exceeds full scale instead of wrapping it around.
    if (format.integer) sf_command(mFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // A float file would otherwise carry a peak chunk stamped with the time of writing, so the
    // same render would not give the same bytes twice.
    sf_command(mFile, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    return true;
}

bool SoundFileWriter::Write(const float* interleaved, int64_t frames, std::string* error) {
    if (sf_writef_float(mFile, interleaved, frames) != frames) {
        *error = "cannot write \"" + mPending.Destination() + "\": " + sf_strerror(mFile);
        return false;
    }
    return true;
}

bool SoundFileWriter::Commit(std::string* error) {
    if (!mFile) {
        *error = "cannot write \"" + mPending.Destination() + "\": the file is not open";
        return false;
    }
    const int closed = sf_close(mFile);
    mFile = nullptr;
    if (closed != 0) {
        *error = "cannot write \"" + mPending.Destination() + "\": " + sf_error_number(closed);
        mPending.Abandon();
        return false;
    }
    return mPending.Commit(error);
}
