; The frame sequencer's IRQ, reported at $6000 (read with -testrom):
;   the frame IRQ flag ($4015 bit 6) 2 frames after power-on ($40: not inhibited), read again
;   ($00: the read cleared it), and after a $4017 write with bit 6 set ($00);
;   the IRQs taken in 60 frames with $4017 = $00 (4-step: about 60), $40 (inhibited: 0), $80
;   (5-step: 0), and with $00 written again and again (the sequence never reaches step 4: 0);
;   square 1's length (2, not halted: $4015 bit 0) after 0, 1 and 2 writes of $C0 to $4017,
;   each of which clocks a half frame at once (01 01 00).
; The handler reads $4015, which clears the flag.

KEEP_FRAME_IRQ = 1
.include "sound_start.inc"

.segment "ZEROPAGE"
irqs: .res 1

.segment "CODE"
main:
    wait_for 2
    status $40, results
    status $40, results+1
    lda #$00
    sta $4017
    wait_for 2
    lda #$40
    sta $4017
    status $40, results+2

.repeat 3, n             ; $4017 = $00, $40, $80
    ldx #n * $40
    jsr count_irqs
    sta results+3+n
.endrepeat

    ldx #$00            ; $4017 = 0 over and over for 60 frames
    stx irqs
    lda $4015
    lda frames
    clc
    adc #60
    cli
@rewrite:
    stx $4017
    cmp frames
    bne @rewrite
    sei
    lda irqs
    sta results+6

    lda #$40
    sta $4017
    lda #$01
    sta $4015
    lda #$1F            ; not halted, constant volume
    sta $4000
    lda #$18            ; length index 3: 2
    sta $4003
    lda #$40
    sta $4017
    status $01, results+7
    lda #$C0
    sta $4017
    status $01, results+8
    lda #$C0
    sta $4017
    status $01, results+9

    report_and_stop text

; Writes X to $4017 and returns in A the IRQs taken in the next 60 frames.
count_irqs:
    stx $4017
    lda $4015           ; clears a flag already set
    lda #$00
    sta irqs
    cli
    wait_for 60
    sei
    lda irqs
    rts

irq:
    pha
    inc irqs
    lda $4015
    pla
    rti

text:
    .byte "flag at power-on %, read again %, after bit 6 %; "
    .byte "IRQs 4-step %, inhibited %, 5-step %, rewritten %; length after 0, 1, 2 clocks % % %", 0

vectors nmi, reset, irq
