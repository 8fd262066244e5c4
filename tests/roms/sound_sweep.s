; Sweeps, 0.5 s (30 frames) each. The sweeping phases first clock a half frame with the sweep
; disabled and divider period 0 ($4017 = $C0), which leaves the divider at 0, then enable the
; sweep and write $4017 = $40, so that the half frames fall 2 x 7458 cycles apart from there on.
;   0    square 1 from period 256, add sweep (E=1, P=7, S=1): the period grows by half every
;        8 half frames until the target passes $7FF, which mutes it
;   30   square 2 from period 1024, subtract sweep (E=1, P=7, N=1, S=1): the period halves
;   60   square 1 at period $600 with the sweep disabled, shift 1: target $900, muted
;   90   the same with the subtracting shift ($09): target $2FF, sounds
;   120  square 1 at period 7: silent
;   150  period 8: sounds

.include "sound_start.inc"

script_only

script:
    .byte $15,$01, $00,$BF, $02,$00, $03,$09, $01,$00, $17,$C0, $01,$F1, $17,$40, WAIT,30
    .byte $15,$02, $04,$BF, $05,$00, $17,$C0, $05,$F9, $06,$00, $07,$0C, $17,$40, WAIT,30
    .byte $15,$01, $01,$01, $02,$00, $03,$0E, WAIT,30
    .byte $01,$09, WAIT,30
    .byte $01,$00, $02,$07, $03,$08, WAIT,30
    .byte $02,$08, WAIT,30
    .byte END
