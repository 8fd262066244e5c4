// What the window and the screenshots show: the console's picture, or for a music file the
// player's screen, drawn with Tallowby's font in the console's palette: the file's name, artist and
// copyright, the track, the time it has played, and a meter for each channel that has sounded.
#pragma once

#include "ppu/frame_buffer.h"

// The picture to show now (the player's screen drawn afresh for a music file).
const FrameBuffer& shownPicture();
const LineEmphasis& shownEmphasis();
