; Scroll changes in the middle of a line. The background is vertical stripes, 8 pixels of colour
; $16 and 8 of $2A. Every NMI sets the horizontal scroll to 0; the main loop then waits a fixed
; number of cycles and sets it to 4, which lands in the middle of a visible line.

.segment "HEADER"
    .byte "NES", $1A, 2, 1, $00, $00

.segment "ZEROPAGE"
frameDone: .res 1

.segment "CODE"
reset:
    sei
    ldx #$FF
    txs
    inx
    stx $2000           ; address increment 1 for the data port
@wait:
    bit $2002
    bpl @wait
    lda #$3F            ; palette: backdrop $0F, colours $16 and $2A
    sta $2006
    stx $2006
    lda #$0F
    sta $2007
    lda #$16
    sta $2007
    lda #$2A
    sta $2007
    lda #$20            ; nametable 0: tiles 1, 2, 1, 2, ... in every row
    sta $2006
    stx $2006
    ldy #4              ; 4 x 256 bytes cover tiles and attributes (all palette 0 below)
@fill:
    txa
    and #1
    clc
    adc #1
    cpy #1
    bne @store
    cpx #$C0            ; the last 64 bytes are attributes: palette 0
    bcc @store
    lda #0
@store:
    sta $2007
    inx
    bne @fill
    dey
    bne @fill
    lda #$80            ; NMI on
    sta $2000
    lda #$0A            ; background on, left column shown
    sta $2001
main:
    lda frameDone
    beq main
    lda #0
    sta frameDone
    ldx #12
@outer:
    ldy #230
@inner:
    dey
    bne @inner
    dex
    bne @outer
    lda #4
    sta $2005
    lda #0
    sta $2005
    jmp main

nmi:
    pha
    bit $2002
    lda #0
    sta $2005
    sta $2005
    lda #1
    sta frameDone
    pla
irq:
    rti

.segment "VECTORS"
    .word nmi, reset, irq

.include "solid_tiles.inc"
