; One steady note on a cartridge's sound chip, then the console's first pulse at the same pitch and
; full volume. The test sets the mapper in the header and the chip's number at $FFF9 (as board
; ROMs do): 0 VRC6 (24), 1 MMC5 (5), 2 Sunsoft 5B (69), 3 Namco 163 (19), 4 VRC7 (85).
; Frames 0-59 (from the first NMI): the chip's note, then the chip silent and the console's pulse.
;   VRC6 pulse 1, duty 8/16, volume 15, period 253: 16 x 254 = 4064 cycles a wave
;   MMC5 pulse 1, duty 50%, volume 15, period 253: 4064 cycles
;   5B tone A, volume 12, period 127: 32 x 127 = 4064 cycles
;   Namco 163, one channel, 16 samples (8 at 15, 8 at 0), volume 15, frequency 3840:
;     15 x 16 x 65536 / 3840 = 4096 cycles
;   VRC7 channel 0, the custom instrument as a pseudo-square (a sustained 2:1 modulator at 24 dB
;   with full feedback), volume 0 (the loudest), F-number 256, octave 4: 36 x 2^(19 - 4) / 256 =
;   4608 cycles
;   console pulse 1, duty 50%, volume 15, period 253: 4064 cycles
; With $40 added to the chip's number, the chip plays a crowd for as long as the program runs
; (eight Namco 163 channels, a six-note VRC7 chord; the other chips their note); with $80 added,
; the program runs the same without touching the chip. (The benchmark's cases.)

Variant = $FFF9
frames = $00
chip_mode = $02

.include "ppu_start.inc"

.segment "HEADER"
    .byte "NES", $1A, 2, 1, $00, $00
    .res 8, 0

.segment "CODE"
    .res $6000          ; the program lives in the last 8 KB, which every board shows at $E000
nmi:
    inc frames
    rti
irq:
    rti

reset:
    ppu_reset
    stx frames
    lda #$80
    sta $2000           ; NMI on: frames counts them
    lda Variant
    sta chip_mode
    bmi hold            ; silent: the chip untouched
    jsr chip_on
    lda Variant
    and #$40
    bne hold
:   lda frames
    cmp #60
    bne :-
    jsr chip_off
    lda #$01
    sta $4015
    lda #$BF            ; duty 50%, length held, constant volume 15
    sta $4000
    lda #253
    sta $4002
    lda #$00
    sta $4003
hold:
    jmp hold

.include "chip_routines.inc"

.segment "VECTORS"
    .word nmi, reset, irq
