; MMC3's IRQ and its registers decoded by A0 over each 8 KB, for frame probes. CHR: tile 1 is
; solid colour value 1 in the first 2 KB bank and solid value 2 in the third; R0 = 4 (that
; bank) is set through $9FFE/$9FFF, so the background shows value 2 ($2A) where tile 1 lies. The nametable
; holds tile 1 in the even columns and tile 0 in the odd ones (stripes of 8 pixels).
; Each NMI: horizontal scroll 0, reload 18 ($DFFE), counter clear ($DFFF), IRQ enable ($FFFF).
; The counter reloads at the pre-render line and reaches 0 at the end of line 17: the IRQ,
; acknowledged and disabled through $FFFE, sets scroll 8 from line 18 and enables again
; ($E001). The counter reloads at the end of line 18 and the second IRQ, at the end of line 36,
; sets scroll 4 from line 37 and leaves the IRQ disabled. `irqs` ($00) counts the IRQs of the
; frame, `frameIrqs` ($01) holds the last frame's count (2).

.include "rom_start.inc"

ines_header $40

.segment "ZEROPAGE"
irqs:      .res 1
frameIrqs: .res 1

.segment "CODE"
reset:
    cpu_reset
    inx
    stx $2000
    stx $2001
    stx $9FFE           ; bank select: R0
    lda #4
    sta $9FFF           ; R0 = 4
:   bit $2002
    bpl :-
:   bit $2002
    bpl :-
    lda #$3F
    sta $2006
    stx $2006
    lda #$0F
    sta $2007
    lda #$16
    sta $2007
    lda #$2A
    sta $2007
    lda #$20
    sta $2006
    stx $2006
    ldy #4              ; tile 1 in the even columns, 0 in the odd ones
:   txa
    and #1
    eor #1
    sta $2007
    inx
    bne :-
    dey
    bne :-
    ppu_address $23C0   ; attributes: palette 0
    lda #0
    ldx #64
:   sta $2007
    dex
    bne :-
    lda #$80
    sta $2000
    cli
forever:
    jmp forever

nmi:
    pha
    lda irqs
    sta frameIrqs
    lda #0
    sta irqs
    bit $2002
    sta $2005
    sta $2005
    lda #18
    sta $DFFE
    sta $DFFF
    sta $FFFF
    lda #$0A
    sta $2001
    pla
    rti

irq:
    pha
    sta $FFFE           ; acknowledge and disable
    inc irqs
    bit $2002
    lda irqs
    cmp #1
    bne @second
    sta $E001           ; enable again
    lda #8
    bne @scroll
@second:
    lda #4
@scroll:
    sta $2005
    lda #0
    sta $2005
    pla
    rti

vectors nmi, reset, irq

.include "two_bank_tiles.inc"
