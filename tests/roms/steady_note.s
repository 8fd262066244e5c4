; Holds one steady note on the triangle for as long as it runs: a step every 250 cycles (timer
; 249), 32 steps a wave. The linear counter is held loaded (control bit set), and the loop reloads
; the length counter, which leaves the wave where it is.

.include "rom_start.inc"

ines_header $00

.segment "CODE"
reset:
    cpu_reset
    lda #$04
    sta $4015           ; the triangle alone
    lda #$FF
    sta $4008           ; control set: the linear counter stays at 127
    lda #249
    sta $400A           ; a step every 249 + 1 cycles
hold:
    lda #$08            ; 3 cycles: length 254, period bits 8-10 zero
    sta $400B           ; 4 cycles
    jmp hold            ; 3 cycles

vectors reset, reset, reset
