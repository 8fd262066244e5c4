// NROM: no registers at all.
#include "cart/board_families.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"

void startFixedLastBank()
{
    mapPrg(0, 0, 16384);
    mapPrg(1, cartridge.prgKb / 16u - 1, 16384);
}
