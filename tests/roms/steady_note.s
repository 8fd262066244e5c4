; Holds one steady note on the triangle for as long as it runs: period 250 cycles, 32 steps a
; wave. The loop reloads the length counter, which leaves the wave where it is, and lasts 10
; cycles, a divisor of the period, so every step falls on an instruction boundary exactly on time.

.segment "HEADER"
    .byte "NES", $1A, 2, 1, $00, $00
    .res 8, 0

.segment "CODE"
reset:
    sei
    cld
    ldx #$FF
    txs
    lda #$04
    sta $4015           ; the triangle alone
    lda #250
    sta $400A           ; period 250
hold:
    lda #$08            ; 3 cycles: length 254, period bits 8-10 zero
    sta $400B           ; 4 cycles
    jmp hold            ; 3 cycles

.segment "VECTORS"
    .word reset, reset, reset
