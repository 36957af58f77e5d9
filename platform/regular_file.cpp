#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

int openRegularDescriptor(const std::string& path, bool writing) {
    // O_NONBLOCK: opening a FIFO returns at once instead of waiting for its other end.
    const int fd = open(path.c_str(), (writing ? O_WRONLY | O_CREAT : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                        0644);
    if (fd < 0) return -1;
    struct stat info {};
    // Emptied only once it is known to be a regular file.
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0 &&
        (!writing || ftruncate(fd, 0) == 0))
        return fd;
    close(fd);
    return -1;
}

std::FILE* openRegularFile(const std::string& path, const char* mode) {
    const int fd = openRegularDescriptor(path, mode[0] == 'w');
    std::FILE* file = fd >= 0 ? fdopen(fd, mode) : nullptr;
    if (fd >= 0 && !file) close(fd);
    return file;
}

bool readRegularFile(const std::string& path, std::size_t maxBytes, std::vector<uint8_t>& bytes) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openRegularFile(path, "rb"), std::fclose);
    struct stat info {};
    if (!file || fstat(fileno(file.get()), &info) != 0 || info.st_size <= 0 ||
        static_cast<std::size_t>(info.st_size) > maxBytes)
        return false;
    bytes.resize(static_cast<std::size_t>(info.st_size));
    return std::fread(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
}
