; Namco 108 and its relatives: 0 DxROM (206), 1 mapper 88, 2 NAMCOT-3453 (154), 3 NAMCOT-3425
; (95). 128 KB PRG, 128 KB CHR ROM.

.include "board_script.inc"

board_rom
    .word dxrom, namco88, namcot3453, namcot3425
dxrom:
    prg 1, 2, 15, 16
    bank_select $06, $03  ; R6: the 8 KB at $8000
    bank_select $00, $05  ; R0: a 2 KB bank, bit 0 ignored
    bank_select $02, $07  ; R2: 1 KB at $1000
    prg 4, 2, 15, 16
    chr 4, 7
    done
namco88:
    bank_select $02, $07  ; R2-R5 from the upper 64 KB
    chr 0, 71
    done
namcot3453:
    write $8000, $00    ; bit 6 of any write: the one-screen page
    nt_fill $10
    write $8001, $40
    nt_fill $20
    chr 0, 64
    write $8000, $02
    nt $13, $13, $13, $13
    write $8001, $45
    nt $23, $23, $23, $23
    chr 0, 69
    done
namcot3425:
    bank_select $00, $25  ; R0: bit 5 the nametable at $2000 and $2400
    chr 36, 0
    mirrored_horizontal $20
    write $8001, $04
    nt $23, $23, $23, $23
    bank_select $01, $20  ; R1: bit 5 the one at $2800 and $2C00
    nt $23, $23, $21, $21
    done
board_rom_end
