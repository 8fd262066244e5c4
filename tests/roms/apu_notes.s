; Plays one known note on each APU channel in turn: square 1, square 2, triangle, noise.
; Each note ends when its length counter runs out, seen through the status register.
; The byte at $0200 counts the notes begun (1-4) and is 5 once all have been played.

phase = $0200           ; note being played
mask  = $0201           ; status bit of its channel
pairs = $0202           ; register writes left

.include "rom_start.inc"

ines_header $00

.segment "CODE"
reset:
    cpu_reset
    lda #$00
    sta $4015
    sta phase
    ldy #0
note:
    inc phase
    lda notes,y         ; the channel's status bit: enable only that channel
    sta mask
    sta $4015
    iny
    lda #4
    sta pairs
write:
    ldx notes,y         ; register offset from $4000
    iny
    lda notes,y
    iny
    sta $4000,x
    dec pairs
    bne write
wait:
    lda $4015
    and mask
    bne wait            ; until the length counter has run out
    lda phase
    cmp #4
    bne note
    inc phase
done:
    jmp done

; Per note: status bit, then four (register, value) pairs.
notes:
    ; square 1: duty 2, constant volume 12, no sweep, timer 254, length 20
    .byte $01, $00,$9C, $01,$00, $02,$FE, $03,$10
    ; square 2: duty 3, volume decaying from 15 (the envelope), timer 380, length 20
    .byte $02, $04,$C3, $05,$00, $06,$7C, $07,$11
    ; triangle: linear counter 127 quarter frames, timer 200, length 20
    .byte $04, $08,$7F, $0A,$C8, $0B,$10, $0A,$C8
    ; noise: constant volume 10, mode 0, period 4068, length 40
    .byte $08, $0C,$1A, $0E,$0F, $0F,$20, $0C,$1A

vectors reset, reset, reset
