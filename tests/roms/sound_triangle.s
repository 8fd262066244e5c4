; The triangle (period 100), 0.5 s (30 frames) each: linear counter reload 10 with control 0
; (about 10 quarter frames of sound); reload 10 with control 1 (plays on); control 0 with
; reload 127 and length 20 (index 2), which the length counter ends after 1/6 s.

.include "sound_start.inc"

script_only

script:
    .byte $15,$04, $08,$0A, $0A,$64, $0B,$08, WAIT,30
    .byte $08,$8A, $0B,$08, WAIT,30
    .byte $08,$7F, $0B,$10, WAIT,30
    .byte END
