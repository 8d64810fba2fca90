#include "platform/Files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string NativePath(std::string_view path) {
    std::string p(path);
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

int FileOpen(std::string_view path, unsigned mode) {
    int flags = O_RDONLY;
    if ((mode & 3) == fmOpenWrite) flags = O_WRONLY;
    else if ((mode & 3) == fmOpenReadWrite) flags = O_RDWR;
    std::string native = NativePath(path);
    int fd = ::open(native.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    // 0 is a valid descriptor but not a valid handle for callers that test > 0.
    if (fd == 0) {
        int dup = ::fcntl(fd, F_DUPFD_CLOEXEC, 1);
        ::close(fd);
        fd = dup;
    }
    return fd;
}

int64_t FileSeek(int handle, int64_t offset, int origin) {
    int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(handle, static_cast<off_t>(offset), whence);
    return r < 0 ? -1 : static_cast<int64_t>(r);
}

int FileRead(int handle, void* buffer, int count) {
    if (count <= 0) return 0;
    ssize_t n;
    do {
        n = ::read(handle, buffer, static_cast<size_t>(count));
    } while (n < 0 && errno == EINTR);
    return n < 0 ? -1 : static_cast<int>(n);
}

void FileClose(int handle) {
    if (handle >= 0) ::close(handle);
}

bool FileExists(std::string_view path) {
    struct stat st {};
    std::string native = NativePath(path);
    return ::stat(native.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

TTextFile::~TTextFile() { Close(); }

void TTextFile::Assign(std::string_view path) { FPath = NativePath(path); }

void TTextFile::openWith(int flags) {
    Close();
    FFd = ::open(FPath.c_str(), flags | O_CLOEXEC, 0666);
    if (FFd < 0) {
        FError = errno ? errno : EIO;
        return;
    }
    struct stat st {};
    if (::fstat(FFd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(FFd);
        FFd = -1;
        FError = EISDIR;
    }
}

void TTextFile::Reset() { openWith(O_RDONLY); }
void TTextFile::Rewrite() { openWith(O_WRONLY | O_CREAT | O_TRUNC); }
void TTextFile::Append() { openWith(O_WRONLY | O_APPEND); }

void TTextFile::Write(std::string_view text) {
    if (FFd < 0) {
        if (!FError) FError = EBADF;
        return;
    }
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(FFd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            FError = errno;
            return;
        }
        done += static_cast<size_t>(n);
    }
}

void TTextFile::WriteLn(std::string_view text) {
    Write(text);
    Write("\r\n");
}

void TTextFile::Close() {
    if (FFd >= 0) {
        if (::close(FFd) != 0 && !FError) FError = errno;
        FFd = -1;
    }
}

int TTextFile::IOResult() {
    int e = FError;
    FError = 0;
    return e;
}
