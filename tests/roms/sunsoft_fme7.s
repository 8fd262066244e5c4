; Sunsoft FME-7 (69): 128 KB PRG, 128 KB CHR ROM, 8 KB PRG RAM.

.include "board_script.inc"

; The command number, then its parameter.
.macro set_register number, value
    write $8000, number
    write $A000, value
.endmacro

board_rom
    .word fme7
fme7:
    set_register $09, $05       ; 8 KB at $8000, $A000, $C000 (6 bits)
    set_register $0A, $06
    set_register $0B, $47
    prg 6, 7, 8, 16
    set_register $00, $21       ; 1 KB CHR banks
    set_register $04, $0C
    chr 33, 12
    set_register $08, $03       ; $6000: ROM page 3
    read $6000, 4
    write $A000, $C0    ; RAM, enabled
    write $6000, $5A
    read $6000, $5A
    write $A000, $40    ; RAM, not enabled: the open bus
    read $6000, $60
    write $A000, $C0
    read $6000, $5A
    set_register $0C, $01       ; mirroring: horizontal, then one-screen $2400 and $2000
    mirrored_horizontal $10
    write $A000, $03
    nt $13, $13, $13, $13
    write $A000, $02
    nt $11, $11, $11, $11
    done
board_rom_end
