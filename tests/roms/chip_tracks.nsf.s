; A music file for every sound chip at once: track N (from 1) holds the note of chip N - 1 of
; chip_routines.inc (VRC6, MMC5, Sunsoft 5B, Namco 163, VRC7), as chip_notes.s plays it; the
; console stays silent. Play does nothing.

chip_mode = $02

.segment "HEADER"
    .byte "NESM", $1A, 1
    .byte 5, 1
    .word $8000, init, play
name:
    .byte "Chip Tracks"
    .res 32 - (* - name)
    .res 64, 0              ; artist, copyright
    .word 16639
    .res 8, 0
    .word 19997
    .byte 0
    .byte $3B               ; VRC6, VRC7, MMC5, Namco 163, Sunsoft 5B
    .res 4, 0

.segment "CODE"
init:
    sta chip_mode
    jsr chip_on
play:
    rts

.include "chip_routines.inc"
