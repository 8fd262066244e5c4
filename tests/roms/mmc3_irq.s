; An MMC3 cartridge whose scanline IRQ fires every 32 lines: each IRQ moves the horizontal scroll
; and retunes the square channel, so the picture and the sound both depend on the IRQ timing.
; 32 KB of PRG: the MMC3's start banks put it at $8000-$FFFF in order, as the NROM layout does.

.include "stripes.inc"

.segment "HEADER"
    .byte "NES", $1A, 2, 1, $40, $00

.segment "ZEROPAGE"
irqCount: .res 1

.segment "CODE"
reset:
    stripes_reset
    lda #$0F            ; square 1: duty 0, constant volume 15, length halted
    sta $4015
    lda #$3F
    sta $4000
    lda #$0A            ; background on, left column shown
    sta $2001
    lda #31             ; the IRQ every 32 lines
    sta $C000
    sta $C001
    sta $E001
    cli
main:
    jmp main

irq:
    sta $E000           ; acknowledge, then enable again
    sta $E001
    inc irqCount
    lda irqCount
    sta $2005           ; horizontal scroll from the count
    sta $2005
    asl
    sta $4002           ; square period from the count
    lda #$01
    sta $4003
    rti

nmi:
    rti

.segment "VECTORS"
    .word nmi, reset, irq

.include "solid_tiles.inc"
