#include "platform/durable_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Far more names than copies of the game ever save at one moment.
constexpr int MaxAttempts = 1000;

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool writeDurably(int fd, const std::string& content) {
    size_t written = 0;
    while (written < content.size()) {
        ssize_t n = write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    bool ok = written == content.size() && fsync(fd) == 0;
    if (close(fd) != 0) ok = false;
    return ok;
}

void syncFolderOf(const std::string& path) {
    const int folder = open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return;
    fsync(folder);
    close(folder);
}

std::string writeNewFile(const std::string& folder, const std::function<std::string(int attempt)>& nameFor,
                         const std::string& content, std::string& error) {
    const auto failed = [&error](int code) {
        error = std::strerror(code);
        return std::string();
    };
    const std::string base = folder.empty() ? "." : folder;
    std::string temporary = base + "/.new-XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return failed(errno);
    errno = 0;
    if (!writeDurably(fd, content)) {  // a full disk, or a limit on file sizes
        const int code = errno != 0 ? errno : EIO;
        unlink(temporary.c_str());
        return failed(code);
    }
    for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
        const std::string path = base + "/" + nameFor(attempt);
        if (renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
            syncFolderOf(path);
            return path;
        }
        if (errno != EEXIST) break;
    }
    const int code = errno;
    unlink(temporary.c_str());
    return failed(code);
}
