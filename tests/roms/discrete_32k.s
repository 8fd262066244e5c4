; The boards that switch 32 KB of PRG at once: 0 AxROM, 1 Color Dreams, 2 BNROM, 3 GxROM,
; 4 NINA-03/06, 5 Jaleco JF-11/14. 128 KB PRG, 128 KB CHR ROM.

.include "board_script.inc"

board_rom scripts
scripts:
    .word axrom, color_dreams, bnrom, gxrom, nina, jf11
axrom:
    prg 1, 2, 3, 4
    write $8000, $00    ; bits 0-3 the bank, bit 4 the one-screen page
    nt_fill $10
    write $8000, $10
    nt_fill $20
    write $8000, $02
    prg 9, 10, 11, 12
    nt $13, $13, $13, $13
    write $FFFF, $13
    prg 13, 14, 15, 16
    nt $23, $23, $23, $23
    done
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
