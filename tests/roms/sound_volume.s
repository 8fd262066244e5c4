; Constant volumes, 0.5 s (30 frames) each: square 1 at $30 (halted, constant volume 0), $34
; (volume 4) and $3F (volume 15), square 2 at $34, the noise at $3F and at $30. Period 253 for
; the squares, noise period 380 cycles, lengths halted.

.include "sound_start.inc"

script_only

script:
    .byte $15,$01, $00,$30, $02,$FD, $03,$08, WAIT,30   ; square 1, volume 0
    .byte $00,$34, WAIT,30                              ; volume 4
    .byte $00,$3F, WAIT,30                              ; volume 15
    .byte $15,$02, $04,$34, $06,$FD, $07,$08, WAIT,30   ; square 2, volume 4
    .byte $15,$08, $0C,$3F, $0E,$0A, $0F,$08, WAIT,30   ; noise, volume 15
    .byte $0C,$30, WAIT,30                              ; noise, volume 0
    .byte END
