// Namespaces, cables, routers and processes for the network tests.
#include "tests/network_lab.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

namespace lab {

namespace {

constexpr const char* namePrefix = "tblab-";  // then the owning process, then a role

std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Runs a shell command; its output, and whether it worked.
bool shell(const std::string& command, std::string& output) {
    char pattern[] = "/tmp/tumblebout-lab-XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd < 0) return false;
    close(fd);
    const int status = std::system((command + " > " + pattern + " 2>&1").c_str());
    output = readFile(pattern);
    unlink(pattern);
    return status == 0;
}

// Namespaces of labs whose process has died (killed mid-test) are removed.
void removeAbandonedLabs() {
    std::string list;
    if (!shell("ip netns list", list)) return;
    const std::regex owned(std::string(namePrefix) + "([0-9]+)-[a-z0-9]+");
    std::istringstream lines(list);
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (!std::regex_search(line, match, owned)) continue;
        const pid_t owner = std::atoi(match[1].str().c_str());
        if (kill(owner, 0) != 0 && errno == ESRCH) {
            std::string ignored;
            shell("ip netns delete " + match[0].str(), ignored);
        }
    }
}

}  // namespace

std::string unavailableBecause() {
    if (geteuid() != 0) return "network namespaces need root";
    std::string output;
    if (!shell("command -v ip", output)) return "iproute2 (ip) is not installed";
    if (!shell("command -v nft", output)) return "nftables (nft) is not installed";
    const std::string probe = std::string(namePrefix) + std::to_string(getpid()) + "-probe";
    if (!shell("ip netns add " + probe, output)) return "cannot make a network namespace: " + output;
    const bool nat = shell("ip netns exec " + probe + " nft add table ip probe", output);
    shell("ip netns delete " + probe, output);
    if (!nat) return "nftables does not work in a network namespace";
    return "";
}

NetworkLab::NetworkLab() : prefix_(std::string(namePrefix) + std::to_string(getpid()) + "-") {
    removeAbandonedLabs();
}

NetworkLab::~NetworkLab() {
    std::string ignored;
    for (auto space = namespaces_.rbegin(); space != namespaces_.rend(); ++space)
        shell("ip netns delete " + *space, ignored);
}

void NetworkLab::run(const std::string& command) {
    if (!error_.empty()) return;
    std::string output;
    if (!shell(command, output)) error_ = command + ": " + output;
}

std::string NetworkLab::addNamespace(const std::string& role) {
    const std::string name = prefix_ + role;
    run("ip netns add " + name);
    if (error_.empty()) namespaces_.push_back(name);
    run("ip -n " + name + " link set lo up");
    return name;
}

void NetworkLab::cable(const std::string& a, const std::string& inA, const std::string& b, const std::string& inB) {
    run("ip -n " + a + " link add " + inA + " type veth peer name " + inB + " netns " + b);
    run("ip -n " + a + " link set dev " + inA + " up");
    run("ip -n " + b + " link set dev " + inB + " up");
}

void NetworkLab::makeInternet() {
    const std::string space = addNamespace("inet");
    run("ip -n " + space + " link add net type bridge");
    run("ip -n " + space + " link set net up");
    run("ip -n " + space + " addr add " + kServiceAddress + "/24 brd + dev net");
}

std::string NetworkLab::homeRouter(const std::string& name, const std::string& wanAddress, int lan,
                                   bool newPortPerDestination) {
    const std::string space = addNamespace(name);
    const std::string internetSpace = internet();
    cable(space, "wan", internetSpace, name);
    run("ip -n " + internetSpace + " link set dev " + name + " master net");
    run("ip -n " + space + " addr add " + wanAddress + "/24 brd + dev wan");
    run("ip -n " + space + " link add lan type bridge");
    run("ip -n " + space + " link set lan up");
    run("ip -n " + space + " addr add 10.201." + std::to_string(lan) + ".1/24 brd + dev lan");
    run("ip netns exec " + space + " sysctl -qw net.ipv4.ip_forward=1");
    // Outgoing: the LAN's addresses become the WAN address. Incoming from the WAN: only
    // answers to what went out; the drop also keeps Linux from tracking an early punch
    // as a connection of its own, which would move the next mapping to another port.
    const std::string rules = std::string("table ip nat {\n  chain postrouting {\n    type nat hook postrouting priority srcnat;\n") +
                              "    oifname \"wan\" masquerade" + (newPortPerDestination ? " fully-random" : "") + "\n  }\n}\n"
                              "table inet filter {\n"
                              "  chain input {\n    type filter hook input priority 0;\n"
                              "    iifname \"wan\" ct state established,related accept\n    iifname \"wan\" drop\n  }\n"
                              "  chain forward {\n    type filter hook forward priority 0;\n"
                              "    iifname \"wan\" ct state established,related accept\n    iifname \"wan\" drop\n  }\n"
                              "}\n";
    run("printf '%s' '" + rules + "' | ip netns exec " + space + " nft -f -");
    return space;
}

std::string NetworkLab::player(const std::string& name, const std::string& router, int lan, int host) {
    const std::string space = addNamespace(name);
    cable(space, "eth0", router, name);
    run("ip -n " + router + " link set dev " + name + " master lan");
    const std::string subnet = "10.201." + std::to_string(lan) + ".";
    run("ip -n " + space + " addr add " + subnet + std::to_string(host) + "/24 brd + dev eth0");
    run("ip -n " + space + " route add default via " + subnet + "1");
    return space;
}

// ---- Processes ---------------------------------------------------------------------------

Process::Process(const std::string& space, const std::vector<std::string>& command, const fs::path& folder)
    : folder_(folder) {
    fs::create_directories(folder);
    std::vector<std::string> args;
    if (!space.empty()) args = {"ip", "netns", "exec", space};
    args.insert(args.end(), command.begin(), command.end());
    pid_ = fork();
    if (pid_ != 0) return;
    // The child: into its folder, stderr to the file, then the program.
    if (chdir(folder.c_str()) != 0) _exit(127);
    const int errors = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int nothing = open("/dev/null", O_RDWR);
    dup2(nothing, 0);
    dup2(nothing, 1);
    dup2(errors, 2);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

Process::~Process() {
    if (pid_ > 0 && !ended_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

int Process::wait(int limitMs) {
    if (pid_ <= 0) return -1;
    for (int waited = 0; !ended_; waited += 10) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            ended_ = true;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        } else if (waited >= limitMs) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            ended_ = true;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    return status_;
}

void Process::signal(int number) {
    if (pid_ > 0 && !ended_) kill(pid_, number);
}

std::string Process::errors() const { return readFile(folder_ / "stderr.txt"); }

std::string Process::waitForLine(const std::string& pattern, int limitMs) const {
    const std::regex wanted(pattern);
    for (int waited = 0; waited <= limitMs; waited += 10) {
        std::smatch match;
        const std::string text = errors();
        if (std::regex_search(text, match, wanted)) return match.size() > 1 ? match[1].str() : match[0].str();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "";
}

}  // namespace lab
