; A small mapper-0 program: a known background and two sprites, sprite 0 moved by the D-pad.
;
; Tiles 0-3 are solid squares of colour value 0-3. The nametable at $2000 holds tile
; (column XOR row) AND 3 in every cell; every attribute byte is $E4, so each 32x32 block shows
; background palette 0 top left, 1 top right, 2 bottom left and 3 bottom right.
; Sprite 0: tile 3, palette 0, at X 120, Y 99 (first row on line 100). Sprite 1: tile 1,
; palette 1, at X 200, Y 49. Every NMI copies OAM from $0200, reads the controller and moves
; sprite 0 by one pixel per held direction.

.segment "HEADER"
    .byte "NES", $1A, 2, 1, $00, $00

.segment "ZEROPAGE"
buttons: .res 1
column:  .res 1

.segment "CODE"
reset:
    sei
    cld
    ldx #$FF
    txs
    lda #0
    sta $2000
    sta $2001
@wait1:
    bit $2002
    bpl @wait1
@wait2:
    bit $2002
    bpl @wait2

    ; Palettes: 32 bytes from $3F00.
    lda #$3F
    sta $2006
    lda #$00
    sta $2006
    ldx #0
@palette:
    lda palettes, x
    sta $2007
    inx
    cpx #32
    bne @palette

    ; Nametable 0: tile (column XOR row) AND 3, 30 rows of 32.
    lda #$20
    sta $2006
    lda #$00
    sta $2006
    ldy #0              ; row
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
    ; Attributes.
    lda #$E4
    ldx #64
@attribute:
    sta $2007
    dex
    bne @attribute

    ; Sprites: hide all, then place sprites 0 and 1.
    lda #$F0
    ldx #0
@hide:
    sta $0200, x
    inx
    bne @hide
    ldx #0
@sprite:
    lda sprites, x
    sta $0200, x
    inx
    cpx #8
    bne @sprite
    lda #0
    sta $2005
    sta $2005
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
    ; Controller: A B select start up down left right, into bits 7..0 of buttons.
    lda #1
    sta $4016
    lda #0
    sta $4016
    ldx #8
@read:
    lda $4016
    lsr a
    rol buttons
    dex
    bne @read
    lda buttons
    and #$01            ; right
    beq :+
    inc $0203
:   lda buttons
    and #$02            ; left
    beq :+
    dec $0203
:   lda buttons
    and #$04            ; down
    beq :+
    inc $0200
:   lda buttons
    and #$08            ; up
    beq :+
    dec $0200
:   bit $2002
    lda #0
    sta $2005
    sta $2005
    pla
    rti

irq:
    rti

palettes:
    .byte $21, $16, $2A, $12,  $21, $06, $1A, $02,  $21, $27, $30, $14,  $21, $0B, $3C, $25
    .byte $21, $30, $27, $11,  $21, $16, $2A, $19,  $21, $00, $00, $00,  $21, $00, $00, $00
sprites:
    .byte 99, 3, $00, 120
    .byte 49, 1, $01, 200

.segment "VECTORS"
    .word nmi, reset, irq

.segment "CHARS"
    .byte $00, $00, $00, $00, $00, $00, $00, $00,  $00, $00, $00, $00, $00, $00, $00, $00
    .byte $FF, $FF, $FF, $FF, $FF, $FF, $FF, $FF,  $00, $00, $00, $00, $00, $00, $00, $00
    .byte $00, $00, $00, $00, $00, $00, $00, $00,  $FF, $FF, $FF, $FF, $FF, $FF, $FF, $FF
    .byte $FF, $FF, $FF, $FF, $FF, $FF, $FF, $FF,  $FF, $FF, $FF, $FF, $FF, $FF, $FF, $FF
