// The online screen, hosting and joining from it.
#include "online/online_menu.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frontend/menu_drawing.h"
#include "frontend/menu_frame.h"
#include "game/Game.h"
#include "game/fingerprint.h"
#include "game/keys.h"
#include "net/hosting.h"
#include "net/joining.h"
#include "net/lan_discovery.h"
#include "online/last_join.h"
#include "online/message_screen.h"
#include "online/online_game.h"
#include "online/start_state.h"
#include "platform/backend.h"

namespace {

constexpr float EntryScale = 0.3f;     // as the mode selection's
constexpr float HeadingScale = 0.3f;
constexpr float LineScale = 0.12f;
constexpr float HintScale = 0.09f;
constexpr float CodeScale = 0.5f;
constexpr int MaxLanGames = 3;
constexpr float FirstLanGameY = 560;
constexpr float LanGameSpacing = 50;
constexpr float LanGameScale = 0.15f;
constexpr std::size_t MaxTyped = 64;   // a host name and a port fit easily
constexpr int ConnectedMs = 1500;      // "CONNECTED ..." shows this long before play

// The frame of a screen of lines: a heading, lines in the title colour, a hint in grey.
struct Line {
    std::string text;
    float y;
    float scale;
    bool grey = false;
};

void showLines(Game& game, const std::vector<Line>& lines) {
    beginMenuFrame(game);
    for (const Line& line : lines) {
        if (line.text.empty()) continue;
        if (line.grey) useNormalGrey();
        else useTitleColour(game);
        drawFittedLine(line.text, line.y, line.scale);
    }
    SetScale(1, 1);
    presentFrame();
}

std::string lanGameLabel(const LanGame& found) {
    std::string label = Upper(found.name.empty() ? ipText(found.address.ip) : found.name) +
                        (found.kind == 1 ? "  CO-OP" : "  VERSUS");
    return found.sameBuild ? label : label + "  (ANOTHER BUILD)";
}

std::string hostingServiceLine(const HostingStatus& status) {
    switch (status.service) {
        case ServiceState::None: return "NO INVITE SERVICE: PLAYERS ON THIS NETWORK CAN STILL JOIN";
        case ServiceState::Asking: return "ASKING THE INVITE SERVICE FOR A CODE";
        case ServiceState::Registered: return "COPIED TO THE CLIPBOARD: SEND IT TO A FRIEND";
        case ServiceState::Unreachable:
        case ServiceState::OtherVersion: return Upper(status.serviceLine) + ": PLAYERS ON THIS NETWORK CAN STILL JOIN";
    }
    return "";
}

std::string joinStageLine(const JoinStatus& status) {
    switch (status.stage) {
        case JoinStage::Finding: return "FINDING THE HOST";
        case JoinStage::Punching: return "TRYING THE HOST'S ADDRESSES";
        case JoinStage::Relaying: return "TRYING THROUGH THE RELAY";
        case JoinStage::Connecting: return "CONNECTING TO " + status.hostAddress;
        case JoinStage::Connected: return connectedMessage(status);
        case JoinStage::Failed: return Upper(status.line);
    }
    return "";
}

class OnlineMenu {
public:
    OnlineMenu(Game& game, const OnlineOptions& settings) : game_(game), settings_(settings) {}

    void run() {
        std::string error;
        if (settings_.lan) lanSearch_ = LanSearch::open(simulationFingerprint(), error);
        drainInput();
        int selection = 1;
        while (true) {
            game_.screen = "online";
            game_.selection = selection;
            if (lanSearch_) lanSearch_->poll(systemMilliseconds());
            const std::vector<LanGame> games = lanGames();
            beginMenuFrame(game_);
            useTitleColour(game_);
            drawCentred("2 PLAYERS ONLINE", 60, HeadingScale);
            const char* entries[] = {"HOST VERSUS", "HOST CO-OP", "JOIN"};
            for (int k = 1; k <= 3; ++k) drawEntry(game_, entries[k - 1], 180 + 80 * static_cast<float>(k), EntryScale, k == selection);
            if (lanSearch_) {
                useNormalGrey();
                drawCentred(games.empty() ? "NO GAME HOSTED ON THIS NETWORK YET" : "GAMES ON THIS NETWORK", 500, LineScale);
            }
            for (std::size_t i = 0; i < games.size(); ++i)
                drawEntry(game_, "JOIN " + lanGameLabel(games[i]), FirstLanGameY + LanGameSpacing * static_cast<float>(i),
                          LanGameScale, selection == static_cast<int>(i) + 4);
            SetScale(1, 1);
            selection = navigateMenu(selection, 3 + static_cast<int>(games.size()));
            presentFrame();
            if (KeyHit(key::Esc)) return;
            if (!KeyHit(key::Enter) && !KeyHit(key::Space)) continue;
            if (selection <= 2) host(selection == 2);
            else if (selection == 3) typeAndJoin();
            else joinLanGame(games[static_cast<std::size_t>(selection - 4)]);
            drainInput();
        }
    }

private:
    std::vector<LanGame> lanGames() const {
        if (!lanSearch_) return {};
        const std::vector<LanGame>& found = lanSearch_->games();
        return {found.begin(), found.begin() + std::min<std::ptrdiff_t>(MaxLanGames, std::ssize(found))};
    }

    void host(bool coop) {
        OnlineOptions options = settings_;
        options.role = OnlineRole::Host;
        options.coop = coop;
        std::string error;
        const std::unique_ptr<Hosting> hosting =
            Hosting::start(hostingConfig(options, beginOnlineSeries(game_, coop)), systemMilliseconds(), error);
        if (!hosting) {
            holdMessage(game_, Upper(error));
            return;
        }
        game_.screen = "hosting";
        bool copied = false;
        drainInput();
        while (true) {
            const HostingStatus& status = hosting->poll(systemMilliseconds());
            if (!status.inviteCode.empty() && !copied) {
                SetClipboardText(status.inviteCode);
                copied = true;
            }
            if (status.opponentJoined) break;
            showLines(game_, {{coop ? "HOST CO-OP" : "HOST VERSUS", 60, HeadingScale},
                              {status.inviteCode.empty() ? "" : "INVITE CODE", 170, LineScale},
                              {status.inviteCode, 220, CodeScale},
                              {hostingServiceLine(status), 400, LineScale, true},
                              {status.localAddress.empty() ? "" : "ON THIS NETWORK: " + status.localAddress, 460, LineScale, true},
                              {"WAITING FOR AN OPPONENT", 560, 0.2f},
                              {"ESC GOES BACK", 700, HintScale, true}});
            if (KeyHit(key::Esc)) return;
        }
        play(std::make_unique<OnlineLink>(hosting->takeLink()), true, coop);
    }

    // The JOIN screen: the text typed, then the connection it asks for.
    void typeAndJoin() {
        std::string typed = lastJoin();
        std::string problem;
        drainInput();
        while (true) {
            game_.screen = "join";
            // Enter and Esc count as keys; the text and Backspace as typed characters.
            for (int c = GetChar(); c != 0; c = GetChar()) {
                if (c == key::Backspace && !typed.empty()) typed.pop_back();
                if (c >= 32 && c <= 126 && typed.size() < MaxTyped) typed += static_cast<char>(c);
            }
            if (KeyDown(key::Control) && KeyHit(key::V)) typed = pasted(typed);
            showLines(game_, {{"JOIN", 60, HeadingScale},
                              {"TYPE AN INVITE CODE OR AN ADDRESS", 200, LineScale, true},
                              {typed + "_", 270, 0.25f},
                              {problem, 420, LineScale},
                              {"ENTER CONNECTS   CTRL+V PASTES   ESC GOES BACK", 700, HintScale, true}});
            if (KeyHit(key::Esc)) return;
            if (!KeyHit(key::Enter)) continue;
            OnlineOptions options = settings_;
            options.role = OnlineRole::Join;
            if (!parseJoinTarget(typed, options)) {
                problem = "THAT IS NEITHER AN INVITE CODE NOR AN ADDRESS";
                continue;
            }
            const std::optional<std::string> failed = connectAndPlay(joinConfig(options), typed);
            if (!failed) return;
            problem = *failed;
            drainInput();
        }
    }

    // The clipboard's first line joins the text, in as far as it is printable and fits.
    static std::string pasted(std::string typed) {
        for (const char c : ClipboardText()) {
            if (c == '\n' || c == '\r' || typed.size() >= MaxTyped) break;
            if (c >= 32 && c <= 126) typed += c;
        }
        return typed;
    }

    void joinLanGame(const LanGame& found) {
        if (!found.sameBuild) {
            holdMessage(game_, "THAT GAME IS ANOTHER BUILD OF TUMBLEBOUT");
            return;
        }
        const std::string address = toString(found.address);
        if (const std::optional<std::string> failed = connectAndPlay(lanGameJoin(found, simulationFingerprint()), address))
            holdMessage(game_, *failed);
    }

    // Connects, saying each stage, then plays. Nothing when the series was played or the
    // player gave up; else the line why not.
    std::optional<std::string> connectAndPlay(const JoinConfig& config, const std::string& remembered) {
        game_.screen = "connecting";
        Joining joining(config, systemMilliseconds());
        drainInput();
        for (const JoinStatus* status = &joining.poll(systemMilliseconds()); status->stage != JoinStage::Connected;
             status = &joining.poll(systemMilliseconds())) {
            if (status->stage == JoinStage::Failed) return joinStageLine(*status);
            showLines(game_, {{"JOIN", 60, HeadingScale}, {joinStageLine(*status), 384 - 20, LineScale},
                              {"ESC GOES BACK", 700, HintScale, true}});
            if (KeyHit(key::Esc)) return std::nullopt;
        }
        const JoinStatus& joined = joining.poll(systemMilliseconds());
        say(connectedMessage(joined));
        rememberJoin(remembered);
        const int shownAt = MilliSecs();
        while (MilliSecs() - shownAt < ConnectedMs) showMessage(game_, joinStageLine(joined));
        play(std::make_unique<OnlineLink>(joining.takeLink()), false, false);
        return std::nullopt;
    }

    void play(std::unique_ptr<OnlineLink> link, bool host, bool coop) {
        playLinkedSeries(game_, std::move(link), host, coop);
        takeBackOwnSettings(game_);
    }

    Game& game_;
    const OnlineOptions& settings_;
    std::unique_ptr<LanSearch> lanSearch_;
};

}  // namespace

void onlineMenu(Game& game, const OnlineOptions& settings) { OnlineMenu(game, settings).run(); }
