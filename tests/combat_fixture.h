#pragma once
// A small fight scene for the combat tests: two (or more) fighters whose nodes are
// parked far apart, so that a test touches exactly the node pairs it places.

#include <gtest/gtest.h>

#include "game/Game.h"
#include "game/match_presentation.h"
#include "platform/headless.h"
#include "platform/sound.h"

class CombatScene : public ::testing::Test {
protected:
    Game g;

    void SetUp() override {
        headless::start();
        g.gameMode = "2vs";
        g.blowPower = 5;
        g.soundVolume = 6;
        g.blood = 10;
        g.plasmaEffects = 1;
        g.slowMotion = 3;
        g.slowMotionTimer = -1;
        g.frameCounter = 101;  // blows count from here on
        g.fighterCount = 2;
        addFighter(1, 1);
        addFighter(2, 0);
        // Told apart by their lengths: the blow lasts one second, the block three.
        g.blowSound = silence(1);
        g.blockSound = silence(3);
    }
    void TearDown() override { headless::stop(); }

    // A scale-2 fighter: node size 8 (head 18), radius 8, mass 4, energy 20, strength 1.
    man& addFighter(int no, int team) {
        man& f = g.fighters[no];
        f = man{};
        f.fighterNo = no;
        f.team = team;
        f.strength = 1.0f;
        f.maxEnergy = 20.0f;
        f.energy = 20.0f;
        for (int k = 1; k <= NodeCount; ++k) {
            ball& n = f.nodes[k];
            n.index = k;
            n.fighterNo = no;
            n.radius = 8;
            n.size = k == HeadNode ? 18 : 8;
            n.mass = 4;
        }
        park(no);
        return f;
    }

    // Every node of fighter `no` far from every node of every other fighter, at rest.
    void park(int no) {
        for (int k = 1; k <= NodeCount; ++k) {
            ball& n = node(no, k);
            n.x = 10000.0f * no + 100.0f * k;
            n.y = 0;
            n.vx = n.vy = 0;
        }
    }

    static SoundRef silence(int seconds) {
        auto sound = std::make_shared<Sound>();
        sound->samples.assign(static_cast<size_t>(sound->rate) * seconds, 0);
        return sound;
    }

    // Channels are numbered in the order they are cued: a probe before and after an
    // action brackets the channels the action cued.
    struct SoundsHeard {
        int blow = 0, block = 0, silent = 0;  // silent: cued but never resumed
    };
    static Channel soundMark() {
        const Channel probe = CueSound(silence(1));
        StopChannel(probe);
        return probe;
    }
    // Lets four seconds pass on the clock to tell the sounds apart by their lengths.
    static SoundsHeard soundsSince(Channel mark) {
        const Channel end = soundMark();
        std::vector<Channel> started;
        SoundsHeard heard;
        for (Channel c = mark + 1; c < end; ++c) (ChannelPlaying(c) ? started.push_back(c) : void(++heard.silent));
        Delay(2000);
        for (Channel c : started) (ChannelPlaying(c) ? heard.block : heard.blow) += 1;
        return heard;
    }

    ball& node(int fighter, int index) { return g.fighters[fighter].nodes[index]; }
    man& fighter(int no) { return g.fighters[no]; }

    // Puts node (fa, ka) at (x, y) and node (fb, kb) `gap` to its right, both at rest.
    void place(int fa, int ka, int fb, int kb, float x, float y, float gap) {
        ball& a = node(fa, ka);
        ball& b = node(fb, kb);
        a.x = x, a.y = y, a.vx = a.vy = 0;
        b.x = x + gap, b.y = y, b.vx = b.vy = 0;
    }

    // One frame of the hit test as the match loop runs it, its effects played as a
    // local match plays them; they stay in `events`.
    void frame() {
        events.clear();
        g.collideFighters(events);
        presentation.playEffects(events);
        g.frameCounter += 1;
    }
    FrameEvents events;
    MatchPresentation presentation{g, MatchPresentation::Pacing::HoldsTheGame};

    int activeBursts(int kind) const {
        int n = 0;
        for (int i = 1; i <= BurstSlots; ++i) n += g.bursts[i].active == 1 && g.bursts[i].kind == kind;
        return n;
    }
};
