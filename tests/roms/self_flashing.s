; The self-flashing boards: 0 UNROM 512 without flash (submapper 0, switchable one-screen), 1
; UNROM 512 with flash (battery bit), 2 GTROM. 128 KB PRG, 32 KB CHR RAM.

.include "board_script.inc"

; Flash address $5555 is CPU $9555 in an odd bank of UNROM 512, $2AAA is $AAAA in an even bank.
.macro unrom_unlock
    write $C000, 1
    write $9555, $AA
    write $C000, 0
    write $AAAA, $55
    write $C000, 1
.endmacro
; The program command, then `value` written at `address` of bank 2.
.macro unrom_program address, value
    unrom_unlock
    write $9555, $A0
    write $C000, 2
    write address, value
.endmacro
.macro gtrom_unlock
    write $D555, $AA
    write $AAAA, $55
.endmacro

board_rom
    .word unrom512, unrom512_flash, gtrom
unrom512:
    prg 1, 2, 15, 16
.repeat 4, n             ; each 8 KB of CHR RAM marked (bits 5-6)
    latch n * $20
    chr_tag $00, $A0 + n
.endrepeat
    latch $23
    chr $A1, 0
    prg 7, 8, 15, 16
    latch $00   ; one-screen from bit 7
    nt_fill $10
    latch $80
    nt_fill $20
    latch $00
    nt $13, $13, $13, $13
    latch $80
    nt $23, $23, $23, $23
    write $8000, $03    ; the page mark 1 there: bus conflict
    prg 3, 4, 15, 16
    done
unrom512_flash:
    write $C000, $05    ; the register at $C000-$FFFF only
    prg 11, 12, 15, 16
    write $8000, $02
    prg 11, 12, 15, 16
    unrom_program $8E00, $5A    ; program: bits only clear
    read $8E00, $5A
    unrom_program $8E00, $0F
    read $8E00, $0A
    write $C000, 1      ; a wrong second byte
    write $9555, $AA
    write $C000, 0
    write $AAAA, $54
    write $C000, 1
    write $9555, $A0
    write $C000, 2
    write $8E00, $00
    read $8E00, $0A
    write $9555, $AA    ; $5555 of the CPU in an even bank is not the chip's
    write $AAAA, $55
    write $9555, $A0
    write $8E00, $00
    read $8E00, $0A
    unrom_program $9000, $00    ; then erase the 4 KB sector of $8E00 in bank 2
    unrom_unlock
    write $9555, $80
    unrom_unlock
    write $C000, 2
    write $8E00, $30
    read $8000, $FF
    read $8FFF, $FF
    read $9000, $00
    read $A000, 6
    unrom_unlock        ; the chip's ID in every window, until $F0
    write $9555, $90
    read $8000, $BF
    read $8001, $B7
    read $E001, $B7
    write $C000, 3
    read $C000, $BF
    write $8000, $F0
    prg 7, 8, 15, 16
    done
gtrom:
    prg 1, 2, 3, 4
    write $5000, $02
    prg 9, 10, 11, 12
    write $7FFF, $03
    prg 13, 14, 15, 16
    write $6000, $01    ; no register there
    prg 13, 14, 15, 16
    write $5000, $00    ; the pattern bank from bit 4
    chr_tag $00, $C0
    write $5000, $10
    chr_tag $00, $C1
    write $5000, $00
    chr $C0, 0
    write $5000, $10
    chr $C1, 0
    write $5000, $00    ; four nametables, in two banks (bit 5)
    nt_fill $10
    write $5000, $20
    nt $00, $00, $00, $00
    nt_fill $20
    write $5000, $00
    nt $10, $11, $12, $13
    read $7000, $70     ; a read latches the open bus, $70
    prg 1, 2, 3, 4
    chr $C1, 0
    nt $20, $21, $22, $23
    write $5000, $01    ; flash at the 32 KB bank, commands at $D555 and $AAAA
    gtrom_unlock
    write $D555, $A0
    write $8E00, $33
    read $8E00, $33
    gtrom_unlock
    write $D555, $90
    read $8000, $BF
    read $C001, $B7
    write $8000, $F0
    prg 5, 6, 7, 8
    read $8E00, $33
    done
board_rom_end
