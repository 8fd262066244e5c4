; The boards with a cycle counter and plain banks: 0 Sunsoft-3 (67), 1 Irem H3001 (65), 2 Jaleco
; SS88006 (18, 8 KB of PRG RAM). 128 KB PRG, 128 KB CHR ROM.

.include "board_script.inc"

board_rom
    .word sunsoft3, h3001, ss88006
sunsoft3:
    write $F800, $03        ; 16 KB at $8000
    prg 7, 8, 15, 16
    write $8800, $05        ; 2 KB CHR at $0000 and $1000
    write $A800, $0A
    chr 10, 20
    write $E800, $01        ; mirroring: horizontal, then one-screen $2400
    mirrored_horizontal $10
    write $E800, $03
    nt $13, $13, $13, $13
    done
h3001:
    prg 1, 2, 15, 16        ; 0 and 1 at power-on
    write $8000, $04
    write $A000, $05
    prg 5, 6, 15, 16
    write $9000, $80        ; $8000's bank at $C000, the second-to-last at $8000
    prg 15, 6, 5, 16
    write $B000, $21        ; 1 KB CHR banks
    write $B004, $0C
    chr 33, 12
    write $9001, $80        ; bits 6-7: horizontal, then one-screen
    mirrored_horizontal $10
    write $9001, $40
    nt $11, $11, $11, $11
    done
ss88006:
    write $8000, $05        ; 8 KB PRG banks: low nibble, then high bits
    write $8001, $00
    write $8002, $06
    write $9000, $07
    prg 6, 7, 8, 16
    write $A000, $01        ; CHR bank 0 = $21
    write $A001, $02
    write $C000, $0C        ; CHR bank 4
    chr 33, 12
    write $9002, $03        ; PRG RAM on and writable
    write $6000, $5A
    read $6000, $5A
    write $9002, $01        ; read-only
    write $6000, $A5
    read $6000, $5A
    write $9002, $00        ; off
    read $6000, $60
    write $F002, $00        ; mirroring: 0 horizontal, 1 vertical
    mirrored_horizontal $10
    write $F002, $01
    mirrored_vertical $20
    done
board_rom_end
