; Length counters, one phase after another (frame counts at the start of each):
;   0    square 1 halted ($BF) with length index 0, 2.5 s
;   150  square 1 not halted ($9F), length 10 (index 0): 10/120 s
;   180  square 2 not halted, length 60 (index 10): 0.5 s; the phase lasts 1 s
;   240  square 1 halted, length 254; disabled in $4015 after 15 frames, enabled again 5 later
;   270  square 1's length written while the channel is disabled, then enabled
;   300  the noise not halted ($1F), length 20 (index 2): 1/6 s

.include "sound_start.inc"

script_only

script:
    .byte $15,$01, $00,$BF, $02,$FD, $03,$00, WAIT,150
    .byte $00,$9F, $03,$00, WAIT,30
    .byte $15,$02, $04,$9F, $06,$FD, $07,$50, WAIT,60
    .byte $15,$01, $00,$BF, $03,$08, WAIT,15, $15,$00, WAIT,5, $15,$01, WAIT,10
    .byte $15,$00, $03,$08, $15,$01, WAIT,30
    .byte $15,$08, $0C,$1F, $0E,$0A, $0F,$10, WAIT,30
    .byte END
