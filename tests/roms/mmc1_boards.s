; MMC1's PRG RAM: 0 SXROM (32 KB of RAM in banks of 8 KB), 1 SNROM (8 KB of CHR RAM; bit 4 of
; CHR register 0 switches the RAM off). 128 KB PRG.

.include "board_script.inc"

; A register loaded as games load it: five writes, lowest bit first.
.macro mmc1 address, value
    .repeat 5, n
    write address, (value >> n) & 1
    .endrepeat
.endmacro

board_rom
    .word sxrom, snrom
sxrom:
.repeat 4, n             ; bits 2-3 of CHR register 0: the RAM bank, each one marked
    mmc1 $A000, n * 4
    write $6000, $10 + n
.endrepeat
    mmc1 $A000, $04
    read $6000, $11
    mmc1 $A000, $0C
    read $6000, $13
    mmc1 $E000, $10     ; bit 4 of the PRG register: off, writes dropped
    write $6000, $99
    read $6000, $60
    mmc1 $E000, $00
    read $6000, $13
    done
snrom:
    write $6000, $42
    mmc1 $A000, $10
    read $6000, $60
    write $6000, $43
    mmc1 $A000, $00
    read $6000, $42
    done
board_rom_end
