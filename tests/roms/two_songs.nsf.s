; A music file of two tracks on the console's first pulse, its play routine called 100 times a
; second (a period of 10,000 microseconds). Track 1: period 253, a wave of 16 x 254 = 4064 cycles;
; track 2: period 126, 2032 cycles, silenced after 100 play calls. $00-$01 count the play calls,
; $02 holds the track number init was given and $03 its region (X).

.segment "ZEROPAGE"
calls:  .res 2
track:  .res 1
region: .res 1

.segment "HEADER"
    .byte "NESM", $1A, 1
    .byte 2, 1              ; two tracks, the first first
    .word $8000, init, play
name:
    .byte "Two Songs"
    .res 32 - (* - name)
artist:
    .byte "Tallowby tests"
    .res 32 - (* - artist)
copyright:
    .byte "2026"
    .res 32 - (* - copyright)
    .word 10000             ; NTSC: 100 play calls a second
    .res 8, 0               ; no banking
    .word 10000             ; PAL
    .byte 0, 0              ; NTSC; no sound chip
    .res 4, 0

.segment "CODE"
init:
    sta track
    stx region
    lda #$01
    sta $4015
    lda #$BF                ; duty 50%, length held, constant volume 15
    sta $4000
    ldx track
    lda periods,x
    sta $4002
    lda #$00
    sta $4003
    rts

play:
    inc calls
    bne :+
    inc calls+1
:   lda track
    beq :+
    lda calls+1
    bne silence
    lda calls
    cmp #100
    bcc :+
silence:
    lda #$00
    sta $4015
:   rts

periods:
    .byte 253, 126
