; Writes the PPU, MMC3 and APU registers at scattered moments, lines and columns, forever:
; scroll, control, mask, data port (nametables, palette), CHR banks, mirroring, the IRQ counter,
; the I flag and every sound register. Pixel mode must draw every column from the state the CPU
; had reached at that column, and the sound must come out as if the APU looked after every
; instruction. Bank-select writes choose only CHR registers R0-R3, so the program stays in place.

.include "rom_start.inc"

ines_header $40         ; mapper 4, horizontal mirroring

.segment "ZEROPAGE"
seed: .res 2
steps: .res 1
pointer: .res 2

.segment "CODE"
reset:
    cpu_reset
    lda #$00
    sta $2000           ; address increment 1
    lda #$A5
    sta seed
    sta seed+1

    ; Nametables and attributes ($2000-$2FFF) from a quick mix of the page and the offset, then
    ; the palette from the generator.
    ppu_address $2000
    ldx #16
@pages:
    stx steps
    ldy #0
@bytes:
    tya
    eor steps
    asl a
    adc steps
    sta $2007
    iny
    bne @bytes
    dex
    bne @pages
    ppu_address $3F00
    ldx #32
@palette:
    jsr random
    sta $2007
    dex
    bne @palette

    ; Sprites from page 2.
    ldx #0
@sprites:
    jsr random
    sta $0200, x
    inx
    bne @sprites
    lda #$02
    sta $4014

    lda #$1E
    sta $2001
    cli


; One register write or action picked at random, then a random delay. A plain write stores a
; random value, masked, at one of the addresses of `writes`.
main:
    jsr random
    and #$1F
    cmp #(masks - writes) / 2
    bcs @action
    tax
    asl a
    tay
    lda writes, y
    sta pointer
    lda writes+1, y
    sta pointer+1
    jsr random
    and masks, x
    ldy #0
    sta (pointer), y
    jmp next
@action:
    and #$07
    asl a
    tax
    lda actions+1, x
    pha
    lda actions, x
    pha
    rts

next:
    jsr random
    and #$1F
    tax
@delay:
    dex
    bpl @delay
    jmp main

writes:
    .word $2000, $2001, $2005, $2006, $2007, $8000, $8001, $A000, $C000, $C001, $E000, $E001
masks:
    .byte $FF, $FF, $FF, $FF, $FF, $83, $FF, $FF, $07, $FF, $FF, $FF
actions:
    .word show-1, status-1, flagI-1, sprites-1, sound-1, sweep-1, sound-1, show-1

show:
    lda #$1E
    sta $2001
    jmp next
status:
    lda $2002
    lda $2007
    jmp next
flagI:
    jsr random
    lsr a
    bcc @clear
    sei
    jmp next
@clear:
    cli
    jmp next
sprites:
    jsr random
    sta $2003
    sta $2004
    lda #$02
    sta $4014
    jmp next
sound:
    jsr random
    and #$17
    tax
    jsr random
    sta $4000, x        ; $4014 and $4016 included: an OAM transfer, a controller strobe
    jmp next

; Square 1 playing alone with a falling sweep, so the frame steps shorten its period.
sweep:
    lda #$01
    sta $4015
    jsr random
    ora #$88            ; sweep on, negate
    sta $4001
    jsr random
    sta $4003           ; length and period bits 8-10
    jmp next

; Eight steps of a 16-bit Galois shift register; the new low byte in A. Keeps X and Y.
random:
    lda #8
    sta steps
    lda seed
@step:
    asl a
    rol seed+1
    bcc @same
    eor #$39
@same:
    dec steps
    bne @step
    sta seed
    rts

; The interrupts scroll the picture, so the moment they are taken shows.
nmi:
irq:
    pha
    lda seed
    sta $2005
    pla
    rti

vectors nmi, reset, irq

; Pattern bytes that differ from tile to tile and row to row.
.segment "CHARS"
.repeat $2000, i
    .byte ((i * 73) ^ (i >> 3)) & $FF
.endrepeat
