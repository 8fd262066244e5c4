; Bandai: 0 FCG-1/2 (16.4, registers at $6000), 1 LZ93D50 (16.5, at $8000). 128 KB PRG, 128 KB CHR.

.include "board_script.inc"

.macro bandai base, other
    write base + 8, $03     ; 16 KB at $8000
    prg 7, 8, 15, 16
    write other + 8, $01    ; the other range: no register
    prg 7, 8, 15, 16
    write base + 0, $21     ; 1 KB CHR banks
    write base + 4, $0C
    chr 33, 12
    write base + 9, $01     ; horizontal, then one-screen $2400
    mirrored_horizontal $10
    write base + 9, $03
    nt $13, $13, $13, $13
    done
.endmacro

board_rom
    .word fcg, lz93d50
fcg:     bandai $6000, $8000
lz93d50: bandai $8000, $6000
board_rom_end
