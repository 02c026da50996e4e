#include "host/grindvox/AudioFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr size_t kLogSize = 16384;
// What a WAV header holds as its data size when the writer could not know it (a stream).
constexpr int64_t kUnknownWavSize = 0xFFFFFFFF;

std::string reason() {
    return std::strerror(errno);
}

// The number after `key` in libsndfile's log, or -1.
int64_t numberAfter(const std::string& log, const std::string& key) {
    const size_t at = log.find(key);
    if (at == std::string::npos) return -1;
    char* end = nullptr;
    const long long n = std::strtoll(log.c_str() + at + key.size(), &end, 10);
    return end == log.c_str() + at + key.size() || n < 0 ? -1 : n;
}

// The frames a file's header declares when the file holds fewer, from libsndfile's log of
// the header (it takes the length from what is there, and logs what the header said): a WAV's
// "data : DECLARED (should be PRESENT)" in bytes, an AIFF's frame count from its COMM chunk.
int64_t declaredFrames(const std::string& log, int64_t frames) {
    int64_t declared = numberAfter(log, "Frame count read from 'COMM' chunk (");
    const size_t data = log.find("\ndata : ");
    if (declared < 0 && data != std::string::npos &&
        log.find(" (should be ", data) < log.find('\n', data + 1)) {
        const int64_t bytes = numberAfter(log.substr(data), "\ndata : ");
        const int64_t blockAlign = numberAfter(log, "Block Align   : ");
        if (bytes > 0 && bytes != kUnknownWavSize && blockAlign > 0) declared = bytes / blockAlign;
    }
    return declared > frames ? declared : -1;
}

// Copies what remains of `from` into an unnamed temporary file and returns its descriptor
// (positioned at the start), or -1 with errno set: libsndfile reads most formats only from
// something it can seek in.
int copyToTemporary(int from) {
    const int fd = OpenUnnamedTemporary();
    if (fd < 0) return -1;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = read(from, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) break;
        ssize_t written = n < 0 ? -1 : write(fd, buffer.data(), static_cast<size_t>(n));
        if (written != n) {
            const int saved = n < 0 || written < 0 ? errno : ENOSPC;
            close(fd);
            errno = saved;
            return -1;
        }
    }
    if (lseek(fd, 0, SEEK_SET) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// A descriptor of the input that libsndfile can read, or -1 with the reason.
int openInput(const std::string& path, std::string* why) {
    const bool standardInput = path == "-";
    if (standardInput && isatty(STDIN_FILENO)) {
        *why = "it is a terminal; pipe the audio in, or name INPUT";
        return -1;
    }
    const int fd =
        standardInput ? dup(STDIN_FILENO) : open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    struct stat s;
    if (fd < 0 || fstat(fd, &s) != 0) {
        *why = reason();
        if (fd >= 0) close(fd);
        return -1;
    }
    if (S_ISDIR(s.st_mode)) {
        *why = "it is a folder";
        close(fd);
        return -1;
    }
    if (S_ISREG(s.st_mode)) return fd;
    const int copy = copyToTemporary(fd);
    if (copy < 0) *why = reason();
    close(fd);
    return copy;
}

std::string logOf(SNDFILE* file) {
    std::string log(kLogSize, '\0');
    sf_command(file, SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size()));
    log.resize(std::strlen(log.c_str()));
    return log;
}

std::string withoutErrorPrefix(const char* text) {
    const std::string s = text ? text : "";
    return s.rfind("Error : ", 0) == 0 ? s.substr(8) : s;
}

} // namespace

SoundFileReader::~SoundFileReader() {
    if (mFile) sf_close(mFile);
}

bool SoundFileReader::Open(const std::string& path, std::string* error) {
    mPath = path;
    mInfo = {};
    std::string why;
    const int fd = openInput(path, &why);
    if (fd < 0) {
        *error = "cannot read \"" + Name() + "\": " + why;
        return false;
    }
    mFile = sf_open_fd(fd, SFM_READ, &mInfo, SF_TRUE);
    if (!mFile) {
        *error = "cannot read \"" + Name() + "\": " + sf_strerror(nullptr);
        return false;
    }
    if (mInfo.samplerate <= 0 || mInfo.channels <= 0 || mInfo.frames < 0) {
        *error = "cannot read \"" + Name() + "\": it declares no usable sample rate or channels";
        return false;
    }
    const std::string log = logOf(mFile);
    mDeclaredFrames = declaredFrames(log, mInfo.frames);
    mLogAtOpen = log.size();
    return true;
}

std::string SoundFileReader::DecoderComplaint() const {
    if (!mComplaint.empty() || !mFile) return mComplaint;
    const std::string log = logOf(mFile);
    const size_t at = log.find("ERROR", mLogAtOpen);
    if (at == std::string::npos) return "";
    const size_t end = log.find('\n', at);
    return log.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

int64_t SoundFileReader::Read(float* interleaved, int64_t frames, std::string* error) {
    const sf_count_t n = sf_readf_float(mFile, interleaved, frames);
    const bool failed = n < frames && sf_error(mFile) != SF_ERR_NO_ERROR;
    // A stream that breaks off after giving audio (a FLAC cut short) ends there, as a file
    // that ends early does; one that gives nothing at all cannot be read.
    if (failed && mFramesRead + n == 0) {
        *error = "cannot read \"" + Name() + "\": " + withoutErrorPrefix(sf_strerror(mFile));
        return -1;
    }
    if (failed) mComplaint = withoutErrorPrefix(sf_strerror(mFile));
    mFramesRead += n;
    return n;
}

SoundFileWriter::~SoundFileWriter() {
    closeFile();
}

void SoundFileWriter::closeFile() {
    if (mFile) sf_close(mFile);
    mFile = nullptr;
}

bool SoundFileWriter::Open(const OutputTarget& target, const OutputFormat& format,
                           double sampleRate, int channels, bool noClobber, std::string* error) {
    SF_INFO info = {};
    info.samplerate = static_cast<int>(std::lround(sampleRate));
    info.channels = channels;
    info.format = format.sndfileFormat;
    const std::string as =
        std::string(" as ") + format.description + " at " + std::to_string(info.samplerate) + " Hz";
    if (!sf_format_check(&info)) {
        *error = "cannot write \"" + target.DisplayName() + "\"" + as + " with " +
                 std::to_string(channels) + " channels";
        return false;
    }
    if (!mPending.Create(target, noClobber, error)) return false;
    mFile = sf_open_fd(mPending.Descriptor(), SFM_WRITE, &info, SF_FALSE);
    if (!mFile) {
        *error = "cannot write \"" + target.DisplayName() + "\"" + as + ": " +
                 withoutErrorPrefix(sf_strerror(nullptr));
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
