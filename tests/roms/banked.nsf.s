; A music file in 4 KB banks: init in bank 0 (at $8000) switches bank 2 into $9000 through $5FF9
; and calls it there ($02 = $A5); play lives in bank 1, which the header puts at $F000, and counts
; its calls in $00-$01.

.segment "HEADER"
    .byte "NESM", $1A, 1
    .byte 1, 1
    .word $8000, $8000, $F000
    .res 96, 0              ; name, artist, copyright
    .word 16639
    .byte 0, 0, 0, 0, 0, 0, 0, 1  ; banks 0 ... 0 and 1 at $F000
    .word 19997
    .byte 0, 0
    .res 4, 0

.segment "CODE"
.org $8000                  ; bank 0
    lda #2
    sta $5FF9
    jsr $9000
    rts
    .res $1000 - (* - $8000)
.org $F000                  ; bank 1
    inc $00
    bne :+
    inc $01
:   rts
    .res $1000 - (* - $F000)
.org $9000                  ; bank 2
    lda #$A5
    sta $02
    rts
