; MMC2's latches, for frame probes. CHR: in 4 KB bank 0 tile 1 is solid colour value 1, in bank 1
; solid value 2; tiles $FD and $FE are blank in both. Each pattern table shows bank 0 while its
; latch is $FD and bank 1 while it is $FE ($B000 = 0, $C000 = 1, $D000 = 0, $E000 = 1).
; Background (table $0000): every row holds tile 1 in columns 0-3, $FD in 4, tile 1 in 5-9, $FE
; in 10 and tile 1 from 11 on. Each line starts with the latch at $FE (the last switch of the
; line before), so columns 0-31 show $2A (bank 1), 40-79 $16 (bank 0), 88-255 $2A.
; Sprites (table $1000), fetched in OAM order: on lines 150-157 sprite 0 ($FD, X 16) before
; sprite 1 (tile 1, X 32): sprite 1 shows bank 0's value 1 ($27); sprite 2 (tile 1, X 32) on
; lines 170-177 still $27; on lines 180-187 sprite 3 ($FE) before sprite 4 (tile 1, X 32): $30;
; sprite 5 (tile 1, X 32) on lines 200-207 still $30.

.include "ppu_start.inc"

ines_header $90

.segment "CODE"
reset:
    ppu_reset
    stx $A000           ; PRG bank 0 at $8000
    stx $B000
    stx $D000
    stx $F000
    lda #1
    sta $C000
    sta $E000
    load_palette palette
    lda #$20
    sta $2006
    ldx #0
    stx $2006
    ldy #30             ; 30 rows of 32 tiles
@row:
:   lda row,x
    sta $2007
    inx
    cpx #32
    bne :-
    ldx #0
    dey
    bne @row
    lda #0              ; attributes: palette 0
    ldx #64
:   sta $2007
    dex
    bne :-
    load_sprites sprites, 6 * 4
    oam_dma
    scroll_zero
    lda #$1E
    sta $2001
    lda #$88            ; NMI; sprites from $1000, background from $0000
    sta $2000
forever:
    jmp forever

nmi:
    pha
    oam_dma
    pla
    rti

palette:
    .byte $0F, $16, $2A, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F
    .byte $0F, $27, $30, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F

row:
    .byte 1, 1, 1, 1, $FD, 1, 1, 1, 1, 1, $FE, 1, 1, 1, 1, 1
    .byte 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1

sprites:                ; Y, tile, attributes, X
    .byte 149, $FD, 0, 16,  149, 1, 0, 32,  169, 1, 0, 32
    .byte 179, $FE, 0, 16,  179, 1, 0, 32,  199, 1, 0, 32

vectors nmi, reset, reset

.include "two_bank_tiles.inc"
