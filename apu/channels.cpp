#include "apu/channels.h"

void apuRegisterWrite(uint16_t, uint8_t) {}

uint8_t apuStatusRead() { return 0; }

void resetApu() {}
