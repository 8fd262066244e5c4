#include "apu/expansion_sound.h"

#include "state/state_io.h"

void expansionSoundFields(StateIo& io, ExpansionSoundState& state)
{
    vrc6SoundFields(io, state.vrc6);
    sunsoft5bSoundFields(io, state.sunsoft5b);
    namco163SoundFields(io, state.namco163);
    vrc7SoundFields(io, state.vrc7);
    mmc5SoundFields(io, state.mmc5);
}
static_assert(fieldCount<ExpansionSoundState>() == 5, "an ExpansionSoundState field is missing from expansionSoundFields");
