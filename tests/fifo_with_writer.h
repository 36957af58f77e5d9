#pragma once
// A FIFO under a file's name that holds content, as another program writing into it
// leaves it. Its writer goes away a moment later, so a reader that took it for a file
// would get the content and then its end, instead of waiting for ever.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

class FifoWithWriter {
public:
    FifoWithWriter(const std::string& path, const std::string& content) {
        EXPECT_EQ(mkfifo(path.c_str(), 0644), 0) << path;
        // Read and write: the FIFO opens without a reader and keeps what is written.
        const int fd = open(path.c_str(), O_RDWR | O_NONBLOCK);
        EXPECT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size())) << path;
        writer_ = std::thread([fd] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            close(fd);
        });
    }
    ~FifoWithWriter() { writer_.join(); }

private:
    std::thread writer_;
};
