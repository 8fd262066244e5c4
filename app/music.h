// Music files in the program: the track to play, the states they do not offer, and the headless
// export of every track.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

struct RunControl;

// Once a music file has loaded and its console is chosen: starts the track -track names (the
// file's own first track without it). Prints one line and returns false when the track does not
// exist, when -track all is given without -headless and -wav DIR/, or a state is asked for.
bool startMusic(std::ostream& out);

// True when the run writes every track of the loaded music file (-track all).
bool exportingAllTracks();

// Writes each track to -wav's folder as NAME-01.wav, NAME-02.wav ... (NAME: the file's name without
// its extension), each ending after -frames frames (10 minutes without) or after 3 seconds of
// silence. Prints a line a track. Returns the exit code.
int exportAllTracks(RunControl& control, const std::string& musicPath);

// The track playing, 1-based, and the file's count; the hot keys' track changes.
uint32_t trackPlaying();
uint32_t trackCount();
void playTrack(uint32_t track);  // 1-based; wraps around the file's tracks
// Seconds the track has played.
int64_t trackSeconds();
// Whether channel `index` (of channelLevels) has sounded since the track began, `level` being its
// level now.
bool channelHeard(uint32_t index, uint8_t level);

// The player's buttons, held as `input` after a frame: right and left the next and the previous
// track, select the track from its start, start pause. The message to show for what was done
// ("Track 2 of 12", "Paused", "Resumed"), empty when nothing was.
struct ControllerInput;
std::string takeMusicButtons(const ControllerInput& input);
