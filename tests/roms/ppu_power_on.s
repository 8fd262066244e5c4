; The PPU as it starts: before any write of $2000 the data port steps by 1 and sprites are 8
; lines high. Reported at $6000 as "palette % % % % nametable % % % %": four palette bytes and four
; nametable bytes written through $2007 before the first $2000 write, read back the same way
; (0F 16 2A 30 and 01 02 03 04; a port that stepped by 0 would read the last byte four times).

.include "report.inc"

.segment "HEADER"
    .byte "NES", $1A, 2, 1, $00, $00

.segment "ZEROPAGE"
report_variables

.segment "CODE"
reset:
    sei
    cld
    ldx #$FF
    txs
:   bit $2002           ; two vertical blanks: the PPU is awake
    bpl :-
:   bit $2002
    bpl :-
    ldy #$3F            ; the palette's first four bytes
    jsr address_y00
    ldx #0
:   lda bytes,x
    sta $2007
    inx
    cpx #4
    bne :-
    ldy #$3F
    jsr address_y00
    ldx #0
:   lda $2007           ; palette reads come at once
    sta results,x
    inx
    cpx #4
    bne :-
    ldy #$20            ; nametable 0's first row
    jsr address_y00
    ldx #4
:   lda bytes,x
    sta $2007
    inx
    cpx #8
    bne :-
    ldy #$20
    jsr address_y00
    lda $2007           ; the buffer's old byte first
    ldx #4
:   lda $2007
    sta results,x
    inx
    cpx #8
    bne :-
    report_and_stop text

; Sets the data port's address to Y x 256.
address_y00:
    bit $2002
    sty $2006
    lda #0
    sta $2006
    rts

bytes:
    .byte $0F, $16, $2A, $30, $01, $02, $03, $04

text:
    .byte "palette % % % % nametable % % % %", 0

report_code

.segment "VECTORS"
    .word reset, reset, reset

.include "solid_tiles.inc"
