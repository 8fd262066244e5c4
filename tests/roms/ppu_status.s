; The status flags, the NMI and OAM's address, reported at $6000 as
;   "hit % % % % % % % overflow % % % vblank % nmi % % oam %"
; hit: $2002 AND $40 at the vertical blank after a frame with sprite 0 (tile 1, solid) at
;   (Y, X, $2001): over the transparent background (39, 100, $1E): 00; over the opaque row of
;   lines 80-87 (79, 100, $1E): 40; the same with the background off ($16): 00; with sprites off
;   ($0E): 00; only in column 255 (79, 255, $1E): 00; in the clipped left columns (79, 0, $18):
;   00; the same unclipped ($1E): 40.
; overflow: $2002 AND $20 after nine sprites on one line: 20; after eight: 00; after nine with
;   rendering off: 00.
; vblank: $2002 AND $80 read after the pre-render line of a vertical blank in which nothing read
;   it: 00.
; nmi: the NMIs of a vertical blank whose handler turns the NMI off and on again: 02 (the second
;   at once, the flag being set); the same after reading $2002 first: 01.
; oam: $2004 read in the picture after $2003 = 5 was written in vertical blank: the drawn lines'
;   sprite fetch left the address at 0, so it reads sprite 0's Y (32).

.include "ppu_start.inc"
.include "report.inc"

ines_header $00

.segment "ZEROPAGE"
nmis:     .res 1        ; NMIs so far
status:   .res 1        ; $2002 as the last NMI read it
mask:     .res 1        ; written to $2001 by every NMI
quiet:    .res 1        ; bit 7: the next NMI leaves $2002 alone
toggle:   .res 1        ; 1: the next NMI turns the NMI off and on; 2: after reading $2002
check:    .res 1
report_variables

.segment "CODE"
reset:
    ppu_reset
    load_palette palette  ; backdrop $0F, background and sprite colour 1 $16
    clear_nametable
    put_row $2140, 32, 1    ; row 10 (lines 80-87): tile 1
    load_sprites 0, 0   ; every sprite below the picture
    lda #$1E
    sta mask
    lda #$80
    sta $2000           ; NMI at each vertical blank

    ldx #0              ; the sprite-0 hits
@hit:
    stx check
    txa
    asl
    asl
    tay
    lda hits,y
    sta $0200
    lda #1
    sta $0201
    lda hits+1,y
    sta $0203
    lda hits+2,y
    sta mask
    jsr wait_two
    lda status
    and #$40
    ldx check
    sta results,x
    inx
    cpx #7
    bne @hit
    lda #$1E
    sta mask
    lda #$F0
    sta $0200

    ldx #0              ; nine sprites on line 51, then eight
:   lda #50
    sta $0200,x
    inx
    inx
    inx
    inx
    cpx #36
    bne :-
    jsr wait_two
    lda status
    and #$20
    sta results+7
    lda #$F0
    sta $0220           ; the ninth
    jsr wait_two
    lda status
    and #$20
    sta results+8
    lda #50
    sta $0220
    lda #0
    sta mask            ; rendering off
    jsr wait_two
    lda status
    and #$20
    sta results+9
    lda #$1E
    sta mask

    lda #$80            ; a vertical blank in which nothing reads $2002
    sta quiet
    jsr wait_one
    lda #5
    sta $2003
    ldy #4              ; about 5,000 cycles: past the pre-render line into the next picture
    ldx #0
:   dex
    bne :-
    dey
    bne :-
    lda $2002
    and #$80
    sta results+10
    lda $2004
    sta results+13
    lda #0
    sta quiet

    lda #1
    jsr count_nmis
    sta results+11
    lda #2
    jsr count_nmis
    sta results+12
    report_and_stop text

; Waits for the next NMI.
wait_one:
    lda nmis
:   cmp nmis
    beq :-
    rts

; Waits two NMIs: the sprite memory set now is drawn in the frame between them.
wait_two:
    jsr wait_one
    jmp wait_one

; Sets `toggle` to A and returns the NMIs taken until the handler has cleared it.
count_nmis:
    ldx nmis
    sta toggle
:   lda toggle
    bne :-
    txa
    eor #$FF
    sec
    adc nmis            ; nmis - X
    rts

nmi:
    pha
    inc nmis
    lda toggle
    beq @frame
    cmp #2
    bne @toggle
    bit $2002
@toggle:
    lda #0
    sta toggle
    sta $2000
    lda #$80
    sta $2000           ; a second NMI here while the vblank flag is set
    pla
    rti
@frame:
    bit quiet
    bmi @copy
    lda $2002
    sta status
@copy:
    oam_dma
    lda mask
    sta $2001
    pla
    rti

palette:
    .byte $0F, $16, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F
    .byte $0F, $16, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F, $0F

hits:                   ; Y, X, $2001, unused
    .byte 39, 100, $1E, 0
    .byte 79, 100, $1E, 0
    .byte 79, 100, $16, 0
    .byte 79, 100, $0E, 0
    .byte 79, 255, $1E, 0
    .byte 79, 0, $18, 0
    .byte 79, 0, $1E, 0

text:
    .byte "hit % % % % % % % overflow % % % vblank % nmi % % oam %", 0

report_code

vectors nmi, reset, reset

.include "solid_tiles.inc"
