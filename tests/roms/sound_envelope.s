; Envelopes, 0.5 s (30 frames) each: square 1 ($80: decay with divider period 0, no loop), then
; the same looping ($A0), then the noise decaying with divider period 3 ($03), one level every
; 4 quarter frames. Square period 100, noise period 64 cycles; length 254, which outlasts them.

.include "sound_start.inc"

script_only

script:
    .byte $15,$01, $00,$80, $02,$64, $03,$08, WAIT,30
    .byte $00,$A0, $03,$08, WAIT,30
    .byte $15,$08, $0C,$03, $0E,$04, $0F,$08, WAIT,30
    .byte END
