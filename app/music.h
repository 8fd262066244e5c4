// Music files in the program: the track to play, the states they do not offer, and the headless
// export of every track.
#pragma once

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
