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
    sei
    cld
    ldx #$FF
    txs
    inx
    stx $2000
    stx $2001
    stx frames
:   bit $2002
    bpl :-
:   bit $2002
    bpl :-
    lda #$80
    sta $2000           ; NMI on: frames counts them
    lda Variant
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

; Calls the chip's routine: on (A = 0) or off (A = 2), through the table.
chip_on:
    lda #0
    beq dispatch
chip_off:
    lda #2
dispatch:
    sta $01
    lda Variant
    and #$07
    asl
    asl
    ora $01
    tax
    lda routines+1,x
    pha
    lda routines,x
    pha
    rts                 ; to the routine (its address - 1 was pushed)

routines:
    .word vrc6_on-1, vrc6_off-1
    .word mmc5_on-1, mmc5_off-1
    .word fme7_on-1, fme7_off-1
    .word n163_on-1, n163_off-1
    .word vrc7_on-1, vrc7_off-1

vrc6_on:
    lda #$7F            ; duty 7 (8 of 16 steps), volume 15
    sta $9000
    lda #253
    sta $9001
    lda #$80
    sta $9002
    rts
vrc6_off:
    lda #$00
    sta $9002
    rts

mmc5_on:
    lda #$01
    sta $5015
    lda #$BF
    sta $5000
    lda #253
    sta $5002
    lda #$00
    sta $5003
    rts
mmc5_off:
    lda #$00
    sta $5015
    rts

; 5B: register X takes A.
fme7_write:
    stx $C000
    sta $E000
    rts
fme7_on:
    ldx #0
    lda #127
    jsr fme7_write
    ldx #1
    lda #0
    jsr fme7_write
    ldx #7
    lda #$3E            ; tone A alone
    jsr fme7_write
    ldx #8
    lda #12
    jmp fme7_write
fme7_off:
    ldx #8
    lda #0
    jmp fme7_write

; Namco 163: the wave at 0 (16 samples, two a byte, the first in the low bits), then channel 7's
; block ($78-$7F); with the crowd, channels 0-6 ($40-$77) too, each a little higher than the last.
n163_on:
    lda #$80            ; from address 0, stepping on
    sta $F800
    ldx #0
:   lda wave,x
    sta $4800
    inx
    cpx #8
    bne :-
    lda Variant
    and #$40
    beq one_channel
    lda #$C0            ; channel 0's block at $40
    sta $F800
    ldy #0
:   lda #$00
    sta $4800           ; frequency bits 0-7
    sta $4800           ; phase
    tya
    clc
    adc #$0F
    sta $4800           ; frequency bits 8-15: $0F, $10 ... $16
    lda #$00
    sta $4800
    lda #$F0            ; 16 samples, frequency bits 16-17 zero
    sta $4800
    lda #$00
    sta $4800
    sta $4800           ; the wave at 0
    lda #$7F            ; eight channels, volume 15
    sta $4800
    iny
    cpy #8
    bne :-
    rts
one_channel:
    lda #$F8            ; channel 7's block
    sta $F800
    ldx #0
:   lda channel7,x
    sta $4800
    inx
    cpx #8
    bne :-
    rts
n163_off:
    lda #$7F            ; channel 7's volume
    sta $F800
    lda #$00
    sta $4800
    rts
wave:
    .byte $FF, $FF, $FF, $FF, $00, $00, $00, $00
channel7:
    .byte $00, $00, $0F, $00, $F0, $00, $00, $0F  ; frequency 3840, 16 samples, one channel at 15

; VRC7: register X takes A.
vrc7_write:
    stx $9010
    sta $9030
    rts
vrc7_on:
    ldy #0
:   ldx custom_registers,y
    lda custom_values,y
    jsr vrc7_write
    iny
    cpy #custom_values - custom_registers
    bne :-
    lda Variant
    and #$40
    beq :++
    ldy #0              ; the chord: channels 1-5, built-in instruments
:   ldx chord_registers,y
    lda chord_values,y
    jsr vrc7_write
    iny
    cpy #chord_values - chord_registers
    bne :-
:   rts
vrc7_off:
    ldx #$20
    lda #$09            ; key off
    jmp vrc7_write
; The custom instrument: modulator sustained, multiple 2, at 24 dB, feedback 7; carrier sustained,
; multiple 1; instant attacks, no decay, release 15. Channel 0: custom, volume 0 (loudest), F-number
; 256, octave 4, key on.
custom_registers:
    .byte $00, $01, $02, $03, $04, $05, $06, $07, $10, $30, $20
custom_values:
    .byte $22, $21, $20, $07, $F0, $F0, $0F, $0F, $00, $00, $19
chord_registers:
    .byte $11, $31, $21, $12, $32, $22, $13, $33, $23, $14, $34, $24, $15, $35, $25
chord_values:
    .byte $20, $10, $19, $60, $30, $19, $A0, $50, $19, $40, $20, $1B, $C0, $80, $1A

.segment "VECTORS"
    .word nmi, reset, irq
