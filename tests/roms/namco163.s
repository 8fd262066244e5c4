; Namco 163 (19): 128 KB PRG, 128 KB CHR ROM, 8 KB PRG RAM.

.include "board_script.inc"

board_rom
    .word namco163
namco163:
    write $E000, $05        ; 8 KB at $8000, $A000, $C000
    write $E800, $06
    write $F000, $07
    prg 6, 7, 8, 16
    write $8000, $21        ; 1 KB CHR banks
    write $A000, $0C
    chr 33, 12
    nt_fill $10             ; the console's nametables, vertical at power-on
    write $C000, $05        ; CHR ROM page 5 at $2000, page 6 at $2C00
    write $D800, $06
    nt $05, $13, $12, $06
    write $C800, $E0        ; $E0 and up: the console's nametable (bit 0)
    nt $05, $12, $12, $06
    write $F800, $80        ; the chip RAM's address, stepping on
    write $4800, $11
    write $4800, $22
    write $F800, $80
    read $4800, $11
    read $4800, $22
    write $F800, $FF        ; it wraps from $7F to $00
    write $4800, $33
    write $4800, $44
    write $F800, $7F
    read $4800, $33
    write $F800, $00
    read $4800, $44
    write $F800, $40        ; the PRG RAM writable, then guarded
    write $6000, $5A
    write $F800, $41
    write $6000, $A5
    read $6000, $5A
    done
board_rom_end
