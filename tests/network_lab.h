#pragma once
// Networks of Linux network namespaces for the tests of online play through routers:
// an "internet" with the invite service, home routers (nftables masquerading on their
// WAN side, and dropping what comes in from it unasked, as home routers do), and
// players behind them. Nothing in a lab is linked to the machine's own network, and
// every address is the lab's. Each lab names its namespaces after the test process, and
// removes them all when it ends, whatever the test did; labs left behind by a killed
// test process are removed by the next lab made.
//
// Needs root, iproute2 and nftables: unavailableBecause() says what is missing.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace lab {

namespace fs = std::filesystem;

// Why labs cannot be made here ("" when they can).
std::string unavailableBecause();

// The internet's addresses: the invite service at .1, the routers' WAN sides after.
inline constexpr const char* kServiceAddress = "198.51.100.1";

class NetworkLab {
public:
    NetworkLab();
    ~NetworkLab();
    NetworkLab(const NetworkLab&) = delete;
    NetworkLab& operator=(const NetworkLab&) = delete;

    // "" while every command worked, else the first failure and its output.
    const std::string& error() const { return error_; }

    // Makes the internet: a namespace with a switch, holding kServiceAddress.
    void makeInternet();
    // Its namespace.
    std::string internet() const { return prefix_ + "inet"; }
    // A home router whose WAN side is `wanAddress` on the internet and whose LAN is a
    // switch at 10.201.`lan`.1/24. `newPortPerDestination`: masquerading picks a fresh
    // random port for every destination, as some routers and carrier-grade NATs do.
    std::string homeRouter(const std::string& name, const std::string& wanAddress, int lan,
                           bool newPortPerDestination);
    // A player on the router's LAN at 10.201.`lan`.`host`, routed through it.
    std::string player(const std::string& name, const std::string& router, int lan, int host);

private:
    std::string addNamespace(const std::string& role);
    // A veth pair between two namespaces: `inA` in a, `inB` in b, both up.
    void cable(const std::string& a, const std::string& inA, const std::string& b, const std::string& inB);
    void run(const std::string& command);

    std::string prefix_;
    std::vector<std::string> namespaces_;
    std::string error_;
};

// A program run inside a namespace (or on this machine when `space` is ""), in
// `folder`, its stderr kept in folder/stderr.txt. Killed when the object goes.
class Process {
public:
    Process(const std::string& space, const std::vector<std::string>& command, const fs::path& folder);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Its exit status once it ends, within `limitMs`; -1 if it had to be killed then.
    int wait(int limitMs);
    void signal(int number);
    // What it wrote on stderr so far.
    std::string errors() const;
    // The first group of `pattern` in its stderr, once there, or "" after `limitMs`.
    std::string waitForLine(const std::string& pattern, int limitMs) const;

private:
    pid_t pid_ = -1;
    bool ended_ = false;
    int status_ = -1;  // once ended
    fs::path folder_;
};

}  // namespace lab
