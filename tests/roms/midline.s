; Scroll changes in the middle of a line. The background is vertical stripes, 8 pixels of colour
; $16 and 8 of $2A. Every NMI sets the horizontal scroll to 0; the main loop then waits a fixed
; number of cycles and sets it to 4, which lands in the middle of a visible line.

.include "stripes.inc"

ines_header $00

.segment "ZEROPAGE"
frameDone: .res 1

.segment "CODE"
reset:
    stripes_reset
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
    scroll_zero
    lda #1
    sta frameDone
    pla
irq:
    rti

vectors nmi, reset, irq

.include "solid_tiles.inc"
