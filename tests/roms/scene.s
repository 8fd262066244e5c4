; A mapper-0 picture: tiles 0-3 are solid squares of colour value 0-3; nametable cell (column,
; row) holds tile (column XOR row) AND 3; attributes $E4 give each 32x32 block palettes 0-3 by
; quadrant. Sprite 0 (tile 3, palette 0) first shows at (120, 100), sprite 1 (tile 1, palette 1)
; at (200, 50). Every NMI copies OAM from $0200, reads the pad into `buttons` (A in bit 7 ...
; right in bit 0) and moves sprite 0 one pixel per held direction.

.include "rom_start.inc"

ines_header $00

.segment "ZEROPAGE"
buttons: .res 1
column:  .res 1

.segment "CODE"
reset:
    sei
    ldx #$FF
    txs
    inx
    stx $2000
    stx $2001
@wait:
    bit $2002
    bpl @wait
    lda #$3F            ; palettes: 32 bytes from $3F00
    sta $2006
    stx $2006
@palette:
    lda palettes, x
    sta $2007
    inx
    cpx #32
    bne @palette
    ppu_address $2000   ; nametable 0, 30 rows of 32
    tay                 ; row
@row:
    ldx #0              ; column
@cell:
    stx column
    tya
    eor column
    and #3
    sta $2007
    inx
    cpx #32
    bne @cell
    iny
    cpy #30
    bne @row
    lda #$E4            ; attributes
    ldx #64
@attribute:
    sta $2007
    dex
    bne @attribute
@sprite:
    lda sprites, x
    sta $0200, x
    inx
    cpx #8
    bne @sprite
    lda #$80            ; NMI on, both pattern tables at $0000
    sta $2000
    lda #$1E            ; background and sprites, left columns shown
    sta $2001
forever:
    jmp forever

nmi:
    pha
    lda #$02
    sta $4014
    lda #1
    sta $4016
    lsr a
    sta $4016
    ldx #8
@read:
    lda $4016
    lsr a
    rol buttons
    dex
    bne @read
    lda buttons
    lsr a               ; right
    bcc :+
    inc $0203
:   lsr a               ; left
    bcc :+
    dec $0203
:   lsr a               ; down
    bcc :+
    inc $0200
:   lsr a               ; up
    bcc :+
    dec $0200
:   bit $2002
    scroll_zero
    pla
irq:
    rti

palettes:
    .byte $21, $16, $2A, $12,  $21, $06, $1A, $02,  $21, $27, $30, $14,  $21, $0B, $3C, $25
    .byte $21, $30, $27, $11,  $21, $16, $2A, $19,  $21, $00, $00, $00,  $21, $00, $00, $00
sprites:
    .byte 99, 3, $00, 120,  49, 1, $01, 200

vectors nmi, reset, irq

.include "solid_tiles.inc"
