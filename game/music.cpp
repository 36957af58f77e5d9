// Music rotation: tracks 1..4 follow one another for as long as a match lasts, and
// each match starts with the track after the one last started.
#include "game/Game.h"

namespace {

// Moves to the next track and starts it on a new channel at the music volume.
void playNextTrack(Game& game) {
    game.musicTrack += 1;
    if (game.musicTrack > 4) game.musicTrack = 1;
    game.musicChannel = CueSound(game.musicTracks[game.musicTrack]);
    SetChannelVolume(game.musicChannel, static_cast<float>(game.musicVolume) / 10.0f);
    ResumeChannel(game.musicChannel);
}

}  // namespace

void Game::startMusic() {
    if (musicVolume > 0) playNextTrack(*this);
}

void Game::keepMusic() {
    if (musicVolume > 0 && musicChannel != 0 && !ChannelPlaying(musicChannel)) {
        StopChannel(musicChannel);
        playNextTrack(*this);
    }
}

void Game::stopMusic() {
    // The channel stays referenced until the next startMusic replaces it.
    if (musicChannel != 0) StopChannel(musicChannel);
}
