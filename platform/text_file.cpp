// Line-oriented text files: bytes in, bytes out, lines ended by CR LF on writing and
// by LF (or a zero byte) on reading, CRs dropped, so files from any editor read back.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/durable_file.h"
#include "platform/platform.h"
#include "platform/regular_file.h"

struct Stream {
    std::FILE* file = nullptr;  // null once closed
    bool reading = false;
    ~Stream() {
        if (file) std::fclose(file);
    }
};

namespace {

StreamRef openStream(const std::string& path, const char* mode) {
    std::FILE* file = openRegularFile(path, mode);
    if (!file) return nullptr;
    auto stream = std::make_shared<Stream>();
    stream->file = file;
    stream->reading = mode[0] == 'r';
    return stream;
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// A new empty file at `path`, or -1 when none can be made there. O_EXCL after
// unlinking: never write through a link someone left at this name.
int createFresh(const std::string& path) {
    unlink(path.c_str());
    return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
}

}  // namespace

StreamRef ReadFile(const std::string& path) { return openStream(path, "rb"); }

StreamRef WriteFile(const std::string& path) { return openStream(path, "wb"); }

bool FileMissing(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) != 0 && errno == ENOENT;
}

int CreateFile(const std::string& path) {
    // unlink, not remove: remove() would also delete an empty folder of that name.
    unlink(path.c_str());
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) std::fclose(file);
    return isRegularFile(path) ? 1 : 0;
}

std::string ReadLine(Stream& stream, std::size_t keep) {
    std::string line;
    if (!stream.file || !stream.reading) return line;
    for (int c = std::getc(stream.file); c != EOF && c != '\n' && c != 0;
         c = std::getc(stream.file)) {
        if (c != '\r' && line.size() < keep) line += static_cast<char>(c);
    }
    return line;
}

void WriteLine(Stream& stream, const std::string& text) {
    if (!stream.file || stream.reading) return;
    std::fwrite(text.data(), 1, text.size(), stream.file);
    std::fwrite("\r\n", 1, 2, stream.file);
}

int Eof(Stream& stream) {
    if (!stream.file || !stream.reading) return 1;
    int c = std::getc(stream.file);
    if (c == EOF) return 1;  // also on a read error, so a reading loop always ends
    std::ungetc(c, stream.file);
    return 0;
}

void CloseStream(StreamRef& stream) {
    if (stream && stream->file) {
        std::fclose(stream->file);
        stream->file = nullptr;
    }
    stream.reset();
}

bool ReplaceFileAtomically(const std::string& path, const std::string& content) {
    const std::string temporary = path + ".tmp";
    const int fd = createFresh(temporary);
    if (fd < 0) {
        // No temporary file can be made beside it (a read-only folder holding writable
        // files): written in place, the content is kept where the replace would lose it.
        const int inPlace = openRegularDescriptor(path, true);
        return inPlace >= 0 && writeDurably(inPlace, content);
    }
    if (!writeDurably(fd, content) || std::rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable; the new content is in place either way.
    syncFolderOf(path);
    return true;
}
