; The boards that switch 32 KB of PRG at once: 0 Color Dreams, 1 BNROM, 2 GxROM, 3 NINA-03/06,
; 4 Jaleco JF-11/14. 128 KB PRG, 128 KB CHR ROM. (AxROM: its own test in tests/cart/boards_test.cpp.)

.include "board_script.inc"

board_rom
    .word color_dreams, bnrom, gxrom, nina, jf11
color_dreams:
    write $FFFF, $31    ; bits 0-1 PRG, 4-7 CHR
    prg 5, 6, 7, 8
    chr 24, 28
    done
bnrom:
    latch $03
    prg 13, 14, 15, 16
    done
gxrom:
    latch $21           ; bits 4-5 PRG, 0-1 CHR
    prg 9, 10, 11, 12
    chr 8, 12
    done
nina:
    write $4100, $0A    ; bit 3 PRG, 0-2 CHR, where address bit 8 is set
    prg 5, 6, 7, 8
    chr 16, 20
    write $4200, $01
    prg 5, 6, 7, 8
    chr 16, 20
    write $5F00, $09
    prg 5, 6, 7, 8
    chr 8, 12
    done
jf11:
    write $7FFF, $23    ; bits 4-5 PRG, 0-3 CHR
    prg 9, 10, 11, 12
    chr 24, 28
    write $6000, $01
    prg 1, 2, 3, 4
    done
board_rom_end
