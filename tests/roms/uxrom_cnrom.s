; The boards of one discrete register: 0 UxROM, 1 UxROM with bus conflicts (submapper 2), 2 UNROM
; with AND gate (180), 3 Quattro (232), 4 Camerica (71), 5 Irem/Jaleco 78.1, 6 78.3, 7 CNROM,
; 8 CNROM with copy protection (185), 9 CPROM (13, 16 KB CHR RAM), 10 J87 (87), 11 Sunsoft-1
; (184). 128 KB PRG, 128 KB CHR ROM (horizontal) but on CPROM.

.include "board_script.inc"

board_rom
    .word uxrom, uxrom_conflicts, unrom_and, quattro, camerica, irem_jaleco_1, irem_jaleco_3
    .word cnrom, cnrom_locked, cprom, j87, sunsoft1
uxrom:
    prg 1, 2, 15, 16
    write $C123, $03
    write $7FFF, $01    ; not the register
    prg 7, 8, 15, 16
    write $8001, $09    ; bank 9 of 8
    prg 3, 4, 15, 16
    done
uxrom_conflicts:
    write $8000, $06    ; the page mark 1 there
    prg 1, 2, 15, 16
    latch $06
    prg 13, 14, 15, 16
    done
unrom_and:
    prg 1, 2, 1, 2      ; the first bank fixed at $8000, the register's at $C000
    latch $03
    prg 1, 2, 7, 8
    write $8000, $06    ; the page mark 1
    prg 1, 2, 1, 2
    done
quattro:
    prg 1, 2, 7, 8      ; block 0, page 3 at $C000
    write $8001, $08    ; block 1
    write $C001, $02    ; its page 2
    prg 13, 14, 15, 16
    write $C001, $01
    prg 11, 12, 15, 16
    done
camerica:
    write $C000, $02
    prg 5, 6, 15, 16
    nt_fill $10
    write $9000, $10    ; one-screen from bit 4 of $9000-$9FFF
    write $8000, $13
    prg 5, 6, 15, 16
    nt $13, $13, $13, $13
    write $9000, $00
    nt $11, $11, $11, $11
    done
irem_jaleco_1:
    latch $22           ; bits 0-2 PRG, 4-7 CHR, 3 the one-screen page
    prg 5, 6, 15, 16
    chr 16, 20
    nt_fill $10
    latch $2A
    nt_fill $20
    latch $22
    nt $13, $13, $13, $13
    latch $2A
    nt $23, $23, $23, $23
    done
irem_jaleco_3:
    latch $2A           ; bit 3: vertical, else horizontal
    mirrored_vertical $10
    latch $22
    mirrored_horizontal $20
    done
cnrom:
    latch $02
    chr 16, 20
    write $8000, $03    ; the page mark 1
    chr 8, 12
    done
cnrom_locked:
    latch $21           ; CHR on
    chr 0, 4
    latch $13           ; off: every byte $FF
    chr $FF, $FF
    done
cprom:
.repeat 4, n             ; $0000 fixed, a 4 KB bank of 16 KB at $1000: each one marked
    latch n
    chr_tag $10, $B0 + n
.endrepeat
    latch $02
    chr $B0, $B2
    done
j87:
    write $6000, $01    ; bits 0 and 1 swapped
    chr 16, 20
    write $7FFF, $02
    chr 8, 12
    prg 1, 2, 15, 16
    done
sunsoft1:
    write $6000, $12    ; bits 0-2 the 4 KB bank at $0000, 4-6 the one at $1000
    chr 8, 20           ; the upper bank with bit 2 always set
    write $7FFF, $63
    chr 12, 24
    done
board_rom_end
