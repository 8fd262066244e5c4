; The sample channel. Sounds, 0.5 s (30 frames) each, frame counts at the start of each phase:
;   0    output level 0
;   30   output level $40 written to $4011
;   60   level 0, then 17 bytes of $FF at rate 0 (428 cycles a bit): up by 2 a bit to 126
;   90   level $40, then 17 bytes of $0F at rate 8 (190 cycles a bit), looping: 4 bits up,
;        4 down, a wave of 8 x 190 cycles
;   120  the loop goes on; stopped by $4015 bit 4 = 0 after 15 frames
;   150  the same bytes once, without loop: 17 x 8 x 190 cycles of sound
; Then the IRQ, reported at $6000 (read with -testrom), with the 17 bytes at $C000 at rate 15:
;   the IRQs taken of a sample with IRQ enabled (1), without (0), and of a looping one (0);
;   $4015 bits 7 and 4 while the loop plays ($10) and once $4015 bit 4 = 0 stopped it ($00);
;   with IRQs masked, $4015 after a sample with IRQ enabled ended ($80), read again ($80: a
;   read leaves it), and after a $4015 write ($00).

.include "sound_start.inc"

.segment "ZEROPAGE"
irqs: .res 1

.segment "CODE"
main:
    play script
    cli
    lda #$8F            ; IRQ, rate 15
    jsr play_sample
    sta results
    lda #$0F            ; no IRQ
    jsr play_sample
    sta results+1
    lda #$CF            ; IRQ and loop
    jsr play_sample
    status $90, results+3
    lda #$00
    sta $4015           ; stop
    wait_for 1
    lda irqs
    sta results+2
    status $90, results+4
    sei
    lda #$8F
    jsr play_sample
    status $90, results+5
    status $90, results+6
    lda #$00
    sta $4015
    status $90, results+7
    report_and_stop text

; Plays the 17 bytes at $C000 with $4010 = A, waits 2 frames and returns the IRQs taken in A.
play_sample:
    sta $4010
    lda #$00
    sta irqs
    sta $4012
    lda #$01
    sta $4013           ; 17 bytes
    lda #$10
    sta $4015
    wait_for 2
    lda irqs
    rts

irq:
    pha
    inc irqs
    lda #$00
    sta $4015           ; clears the sample IRQ
    pla
    rti

script:
    .byte $11,$00, WAIT,30
    .byte $11,$40, WAIT,30
    .byte $11,$00, $10,$00, $12,$00, $13,$01, $15,$10, WAIT,30
    .byte $11,$40, $10,$48, $12,$01, $13,$01, $15,$10, WAIT,30
    .byte WAIT,15, $15,$00, WAIT,15
    .byte $10,$08, $15,$10, WAIT,30
    .byte END

text:
    .byte "IRQs with IRQ %, without %, looping %; "
    .byte "$4015 looping %, stopped %, ended %, read again %, after a write %", 0

    .res $4000 - (* - reset), $FF
samples:                ; $C000: 17 bytes of $FF (the fill), then at $C040 17 bytes of $0F
    .res 64, $FF
    .res 17, $0F

vectors nmi, reset, irq
