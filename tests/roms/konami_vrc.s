; VRC2 and VRC4, one script per address wiring: 0 21.1 (VRC4a), 1 21.2 (VRC4c), 2 and 3 21.0 with
; either wiring, 4 22 (VRC2a), 5 23.1 (VRC4f), 6 23.2 (VRC4e), 7 23.3 (VRC2b), 8 and 9 23.0, 10 25.1
; (VRC4b), 11 25.2 (VRC4d), 12 25.3 (VRC2c), 13 and 14 25.0; 15 VRC6 (24 and 26); 16 VRC7a
; (85.2, 8 KB PRG RAM). 128 KB PRG, 128 KB CHR ROM.

.include "board_script.inc"

; The writes through the register indexes 1, 2 and 3 at offsets O1, O2, O3 of each group.
.macro vrc o1, o2, o3, vrc4, chr_shift
    write $8000, $02
    write $A000, $03
    write $B000, $05        ; CHR bank 0: the low nibble at index 0, the high one at index 1
    write $B000 + o1, $01
    chr ($15 >> chr_shift), 0
    write $9000 + o1, $01   ; mirroring at index 1: horizontal
    mirrored_horizontal $10
.if vrc4
    write $9000 + o2, $02   ; index 2: the PRG swap mode
    prg 15, 4, 3, 16
    write $9000 + o3, $00   ; index 3: the same register
    prg 3, 4, 15, 16
.else
    write $9000 + o2, $00   ; the VRC2's index 2: mirroring too, vertical
    prg 3, 4, 15, 16
    mirrored_vertical $20
.endif
    done
.endmacro

board_rom
    .word vrc4a, vrc4c, vrc21a, vrc21c, vrc2a, vrc4f, vrc4e, vrc2b, vrc23f, vrc23e, vrc4b, vrc4d, vrc2c, vrc25b
    .word vrc25d, vrc6, vrc7
vrc4a:  vrc $002, $004, $006, 1, 0
vrc4c:  vrc $040, $080, $0C0, 1, 0
vrc21a: vrc $002, $004, $006, 1, 0
vrc21c: vrc $040, $080, $0C0, 1, 0
vrc2a:  vrc $002, $001, $003, 0, 1
vrc4f:  vrc $001, $002, $003, 1, 0
vrc4e:  vrc $004, $008, $00C, 1, 0
vrc2b:  vrc $001, $002, $003, 0, 0
vrc23f: vrc $001, $002, $003, 1, 0
vrc23e: vrc $004, $008, $00C, 1, 0
vrc4b:  vrc $002, $001, $003, 1, 0
vrc4d:  vrc $008, $004, $00C, 1, 0
vrc2c:  vrc $002, $001, $003, 0, 0
vrc25b: vrc $002, $001, $003, 1, 0
vrc25d: vrc $008, $004, $00C, 1, 0
vrc6:
    write $8000, $03        ; 16 KB at $8000
    write $C000, $05        ; 8 KB at $C000
    prg 7, 8, 6, 16
    write $D000, $21        ; R0 and R4: 1 KB at $0000 and $1000
    write $E000, $0C
    chr 33, 12
    write $B003, $04        ; bits 2-3: horizontal, then one-screen $2400
    mirrored_horizontal $10
    write $B003, $0C
    nt $13, $13, $13, $13
    done
vrc7:
    write $8000, $05        ; 8 KB at $8000, $A000 (line 4), $C000
    write $8010, $06
    write $9000, $07
    prg 6, 7, 8, 16
    write $A000, $21        ; 1 KB CHR: $A000 bank 0, $A010 bank 1 ... $C000 bank 4
    write $C000, $0C
    chr 33, 12
    write $E000, $81        ; bit 7 the PRG RAM, bits 0-1 horizontal
    write $6000, $5A
    read $6000, $5A
    mirrored_horizontal $10
    write $E000, $01
    read $6000, $60
    done
board_rom_end
