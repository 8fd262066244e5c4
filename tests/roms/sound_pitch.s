; Steady notes beside busy code: square 1 at period 509 ($BF: duty 2, volume 15) for 1.5 s
; (90 frames), then the triangle at period 251 (control 1, reload 127) for 1.5 s. Meanwhile the
; program runs instructions of 2 to 7 cycles along paths whose lengths depend on a
; pseudo-random byte, rewrites $4000 and $4008 with the values they hold and reads $4015, so no
; step falls due at a regular place in the code.

.include "sound_start.inc"

.segment "ZEROPAGE"
seed:  .res 1
until: .res 1
table: .res 4

.segment "CODE"
main:
    lda #$5B
    sta seed
    play square
    lda #90
    jsr busy
    play triangle
    lda #90
    jsr busy
forever:
    jmp forever

; Runs busy code for A frames.
busy:
    clc
    adc frames
    sta until
@loop:
    lda seed            ; a byte of a maximal-length 8-bit sequence
    asl
    bcc @no_feedback
    eor #$1D
@no_feedback:
    sta seed
    tax
    and #$03
    tay
    txa
    sta table,y         ; zero page, indexed
    lsr
    bcs @odd
    inc table+1         ; 5 cycles
    nop
@odd:
    lsr
    bcc @skip
    jsr work
@skip:
    lda #$BF
    sta $4000
    lda #$FF
    sta $4008
    bit $4015
    ldx table,y
    lda frames
    cmp until
    bne @loop
    rts

work:
    pha
    ror table+2
    lda (pointer),y     ; indirect indexed
    pla
    rts

square:
    .byte $15,$01, $00,$BF, $02,$FD, $03,$09, END
triangle:
    .byte $15,$04, $08,$FF, $0A,$FB, $0B,$08, END

vectors nmi, reset, reset
