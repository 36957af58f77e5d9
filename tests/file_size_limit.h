#pragma once
// Runs `write` with files limited to `bytes`: writing fails part-way, as on a full disk,
// even for root. The limit, and SIGXFSZ's default of ending the process, are put back
// afterwards.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

template <typename Write>
auto underFileSizeLimit(rlim_t bytes, Write write) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tight = saved;
    tight.rlim_cur = bytes;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    auto result = write();
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_DFL);
    return result;
}
