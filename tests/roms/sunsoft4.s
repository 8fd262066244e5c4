; Sunsoft-4 (68): 128 KB PRG, 256 KB CHR ROM, 8 KB PRG RAM.

.include "board_script.inc"

board_rom
    .word sunsoft4
sunsoft4:
    write $F000, $13        ; 16 KB at $8000, the RAM on
    prg 7, 8, 15, 16
    write $6000, $5A
    read $6000, $5A
    write $8000, $05        ; 2 KB CHR banks
    write $A000, $0A
    chr 10, 20
    write $C000, $05        ; the nametable banks: CHR ROM pages $85 and $86
    write $D000, $06
    write $E000, $11        ; those, arranged horizontally
    nt $85, $85, $86, $86
    nt_fill $10             ; ROM: the writes are dropped
    nt $85, $85, $86, $86
    write $E000, $13        ; one-screen on the second
    nt $86, $86, $86, $86
    write $E000, $00        ; the console's nametables, vertical
    mirrored_vertical $20
    write $F000, $03        ; the RAM off
    read $6000, $60
    done
board_rom_end
