; Layers, sprite priority and the mask register, for frame probes. Backdrop $21; background
; palette 0 $00 $16 $2A, sprite palette 0 $00 $27 $30; tiles 0-3 solid in colour value 0-3.
; Background: tile 1 (colour $00, opaque) across row 5 (lines 40-47), tile 2 ($16) in columns
; 0-15 of lines 80-87, tile 0 (transparent) elsewhere. Sprites (first row one line below Y):
;   0  Y 19, X 16: tile 2, behind, over the transparent background: $27
;   1  Y 19, X 32: tile 1, in front: colour $00, shown
;   2  Y 39, X 16: tile 2, behind the opaque row: the row's $00
;   3, 4  Y 39, X 48: tile 2 behind, then tile 3 in front: sprite 3 is the frontmost sprite, and
;      behind, so the row's $00 shows
;   5, 6  Y 39, X 80: tiles 2 and 3, both in front: sprite 5's $27
;   7-16  Y 59, X 100 + 12 (n - 7): ten sprites on lines 60-67; 7-14 are drawn ($30), 15 and
;      16 (X 196 and 208) are not
;   17  Y 79, X 0: tile 2 in front, in the left columns: $27
; Every NMI copies the sprites and writes $2001 from a table, four frames per mask: $1E (all
; shown), $18 (left columns clipped), $00 (rendering off), $1F (greyscale), $FE (every colour
; emphasis), $16 (background off). `frames` ($00) counts the NMIs.

.include "ppu_start.inc"

ines_header $00

.segment "ZEROPAGE"
frames: .res 1

.segment "CODE"
reset:
    ppu_reset
    load_palette palette
    clear_nametable
    put_row $20A0, 32, 1    ; row 5: tile 1
    put_row $2140, 2, 2     ; row 10, columns 0-1: tile 2
    load_sprites sprites, 18 * 4
    lda #$80
    sta $2000
forever:
    jmp forever

nmi:
    pha
    txa
    pha
    oam_dma
    inc frames
    lda frames
    lsr
    lsr
    and #7
    tax
    lda masks,x
    sta $2001
    pla
    tax
    pla
    rti

palette:
    .byte $21, $00, $16, $2A, $21, $21, $21, $21, $21, $21, $21, $21, $21, $21, $21, $21
    .byte $21, $00, $27, $30, $21, $21, $21, $21, $21, $21, $21, $21, $21, $21, $21, $21

sprites:                ; Y, tile, attributes, X
    .byte 19, 2, $20, 16,  19, 1, $00, 32
    .byte 39, 2, $20, 16,  39, 2, $20, 48,  39, 3, $00, 48,  39, 2, $00, 80,  39, 3, $00, 80
    .byte 59, 3, 0, 100,  59, 3, 0, 112,  59, 3, 0, 124,  59, 3, 0, 136,  59, 3, 0, 148
    .byte 59, 3, 0, 160,  59, 3, 0, 172,  59, 3, 0, 184,  59, 3, 0, 196,  59, 3, 0, 208
    .byte 79, 2, $00, 0

masks:
    .byte $1E, $18, $00, $1F, $FE, $16, $1E, $1E

vectors nmi, reset, reset

.include "solid_tiles.inc"
