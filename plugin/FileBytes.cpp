#include "plugin/FileBytes.h"

#include "containers/WDL_String.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Reads until `size` bytes arrived; false on an error or an early end.
bool readAll(int fd, unsigned char* data, int size) {
    int done = 0;
    while (done < size) {
        const ssize_t n = read(fd, data + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<int>(n);
    }
    return true;
}

bool writeAll(int fd, const unsigned char* data, int size) {
    int done = 0;
    while (done < size) {
        const ssize_t n = write(fd, data + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<int>(n);
    }
    return true;
}

// A name beside `path` that no other save in this process or another uses at the same time.
bool makeTemporaryName(const char* path, WDL_String* name) {
    static std::atomic<unsigned> counter{0};
    return name->SetFormatted(0, "%s.%ld-%u.tmp", path, static_cast<long>(getpid()),
                              counter.fetch_add(1));
}

} // namespace

bool ReadFileBytes(const char* path, ByteChunk* chunk, int maxSize) {
    chunk->Clear();
    if (!path || !path[0] || maxSize < 0) return false;
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;

    struct stat info;
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= maxSize;
    if (ok) {
        const int size = static_cast<int>(info.st_size);
        ok = chunk->Resize(size) && readAll(fd, chunk->GetBytes(), size);
        // A file that grew while it was read is not the file that was measured.
        unsigned char extra;
        ok = ok && read(fd, &extra, 1) == 0;
    }
    close(fd);
    if (!ok) chunk->Clear();
    return ok;
}

bool WriteFileBytes(const char* path, const void* data, int size) {
    if (!path || !path[0] || size < 0 || (size > 0 && !data)) return false;
    WDL_String temporary(nullptr);
    if (!makeTemporaryName(path, &temporary)) return false;

    const int fd = open(temporary.Get(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = writeAll(fd, static_cast<const unsigned char*>(data), size) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && std::rename(temporary.Get(), path) == 0;
    if (!ok) unlink(temporary.Get());
    return ok;
}
