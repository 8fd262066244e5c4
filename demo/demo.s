; Tallowby's demo cartridge (mapper 0, 32 KB PRG ROM, 8 KB CHR ROM).
;
; A night scene with the title in big letters and a small candle that walks where the direction
; keys send it. A plays a note on square 1 and B one on square 2, pitched by where the candle
; stands; the triangle plays a short tune over and over.
;
; The program sticks to the documented 6502 instructions and to what both Tallowby and the console
; do alike: all PPU set-up happens with rendering off, sprites go up by OAM DMA in the NMI, and the
; pulse channels use constant volume (bit 4 set, so the console's envelope stays out of the way).
; The main loop reads the pad and moves the candle once per frame; the NMI uploads the sprites,
; cycles the star colour and steps the tune.

.include "tiles.inc"

; ---- Hardware registers ----------------------------------------------------------------------

PPUCTRL     = $2000
PPUMASK     = $2001
PPUSTATUS   = $2002
PPUSCROLL   = $2005
PPUADDR     = $2006
PPUDATA     = $2007
SQ1_VOL     = $4000
SQ1_SWEEP   = $4001
SQ1_LO      = $4002
SQ1_HI      = $4003
SQ2_VOL     = $4004
SQ2_SWEEP   = $4005
SQ2_LO      = $4006
SQ2_HI      = $4007
TRI_LINEAR  = $4008
TRI_LO      = $400A
TRI_HI      = $400B
OAMDMA      = $4014
APUSTATUS   = $4015
JOYPAD1     = $4016
APUFRAME    = $4017

NAMETABLE   = $2000
ATTRIBUTES  = $23C0
PALETTE     = $3F00

CTRL_RUN    = %10001000     ; NMI at vblank, sprites from $1000, background from $0000, 8x8 sprites
MASK_SHOW   = %00011110     ; background and sprites, also in the leftmost eight columns

; Buttons as read_pad leaves them: A is read first and ends in bit 7.
BUTTON_A     = $80
BUTTON_B     = $40
BUTTON_UP    = $08
BUTTON_DOWN  = $04
BUTTON_LEFT  = $02
BUTTON_RIGHT = $01

; The candle: 16 x 16 pixels with the flame above; player_x and player_y are its top left pixel.
START_X     = 120
START_Y     = 195           ; feet on the grass
MIN_X       = 4
MAX_X       = 236
MIN_Y       = 17
MAX_Y       = 195
SPEED       = 2             ; pixels per frame

; Sprites in the OAM buffer: the flame in front, the candle's four quarters, the quaver.
OAM_FLAME        = 0 * 4
OAM_TOP_LEFT     = 1 * 4
OAM_TOP_RIGHT    = 2 * 4
OAM_BOTTOM_LEFT  = 3 * 4
OAM_BOTTOM_RIGHT = 4 * 4
OAM_NOTE         = 5 * 4
OAM_Y     = 0
OAM_TILE  = 1
OAM_ATTR  = 2
OAM_X     = 3
FLIP_H    = $40             ; attribute bit: mirror left to right
HIDDEN_Y  = $FF             ; below the last line: not drawn

NOTE_FRAMES = 30            ; how long the quaver shows after A or B

; Pulse notes. Register 0: duty in bits 6-7, constant volume (bit 4) in bits 0-3; bit 5 stays clear,
; as it would stop the length counter. Register 3: the length load in bits 3-7 (index 4 = 40 half
; frames of the 120 Hz length clock, 0.33 s) over the period's top three bits.
SQ1_SOUND   = %10011010     ; duty 50 %, volume 10
SQ2_SOUND   = %01011000     ; duty 25 %, volume 8
SWEEP_OFF   = %00001000     ; no sweep (negate set, so the console's sweep unit never mutes a low note)
PAD_LENGTH  = 4 << 3

; ---- Variables -------------------------------------------------------------------------------

.segment "ZEROPAGE"
frame_ready:    .res 1      ; set by the NMI, cleared by the main loop
frame_count:    .res 1      ; frames since start, wrapping
buttons:        .res 1      ; held this frame
pressed:        .res 1      ; went down this frame
player_x:       .res 1
player_y:       .res 1
facing:         .res 1      ; 0 right, 1 left
walk_timer:     .res 1      ; frames spent walking; 0 while standing
note_timer:     .res 1      ; frames left for the quaver
note_attr:      .res 1      ; its sprite palette: 2 after A, 3 after B
tune_pos:       .res 1      ; offset of the next event in `tune`
tune_timer:     .res 1      ; frames until that event
source:         .res 2      ; read pointer of draw_screen
temp:           .res 1

.segment "OAM"
oam:            .res 256    ; copied to sprite memory by OAM DMA in every NMI

; ---- iNES header -----------------------------------------------------------------------------

.segment "HEADER"
    .byte "NES", $1A
    .byte 2                 ; 2 x 16 KB PRG ROM
    .byte 1                 ; 1 x 8 KB CHR ROM
    .byte $00, $00          ; mapper 0, horizontal mirroring (one screen is used)
    .res 8, 0

; ---- Start-up ---------------------------------------------------------------------------------

.segment "CODE"

reset:
    sei
    cld
    ldx #$FF
    txs
    inx                     ; X = 0
    stx PPUCTRL             ; no NMI yet; the data port advances by 1
    stx PPUMASK             ; rendering off
    stx APUSTATUS           ; all channels off
    lda #$40
    sta APUFRAME            ; four-step sequencer, no frame interrupt
    bit PPUSTATUS           ; drop a stale vblank flag

    jsr wait_vblank         ; the PPU needs a frame to settle

    ; Clear the RAM, then hide every sprite.
    lda #0
@clear:
    sta $0000,x
    sta $0100,x
    sta $0300,x
    sta $0400,x
    sta $0500,x
    sta $0600,x
    sta $0700,x
    inx
    bne @clear
    lda #HIDDEN_Y
@hide:
    sta oam,x
    inx
    bne @hide

    jsr wait_vblank
    lda #>oam
    sta OAMDMA
    jsr load_palette
    jsr draw_screen

    lda #START_X
    sta player_x
    lda #START_Y
    sta player_y
    lda #1
    sta tune_timer          ; the tune starts on the first frame

    ; Sound: squares and triangle on. The triangle's linear counter is set to its longest, 127
    ; quarter frames (half a second), so that the length counter ends each note.
    lda #$7F
    sta TRI_LINEAR
    lda #%00000111
    sta APUSTATUS

    ; Switch the picture on at the start of a vertical blank.
    jsr wait_vblank
    lda #0
    sta PPUSCROLL
    sta PPUSCROLL
    lda #CTRL_RUN
    sta PPUCTRL
    lda #MASK_SHOW
    sta PPUMASK

main_loop:
    jsr wait_frame
    jsr read_pad
    jsr move_player
    jsr play_pad_notes
    jsr update_sprites
    jmp main_loop

; Waits for the vblank flag by polling; used only while the NMI is off.
wait_vblank:
    bit PPUSTATUS
    bpl wait_vblank
    rts

; Waits until the NMI has run for the next frame.
wait_frame:
    lda frame_ready
    beq wait_frame
    lda #0
    sta frame_ready
    rts

; ---- NMI: once per frame, at the start of vertical blank --------------------------------------

nmi:
    pha
    txa
    pha
    tya
    pha

    lda #>oam
    sta OAMDMA              ; the sprites the main loop prepared
    jsr twinkle_stars
    lda #0                  ; no scrolling: the first nametable, at 0,0
    sta PPUSCROLL
    sta PPUSCROLL
    lda #CTRL_RUN
    sta PPUCTRL
    jsr play_tune

    inc frame_count
    lda #1
    sta frame_ready

    pla
    tay
    pla
    tax
    pla
irq:
    rti

; Every eighth frame, gives the stars' rim (background colour 2) the next colour of a short cycle.
twinkle_stars:
    lda frame_count
    and #7
    bne @done
    bit PPUSTATUS           ; restart the address write pair
    lda #>(PALETTE + 2)
    sta PPUADDR
    lda #<(PALETTE + 2)
    sta PPUADDR
    lda frame_count
    lsr a
    lsr a
    lsr a
    and #3
    tax
    lda twinkle_colours,x
    sta PPUDATA
@done:
    rts

; ---- Pad and candle -----------------------------------------------------------------------------

; Reads the eight buttons into `buttons` and the ones that went down since last frame into `pressed`.
read_pad:
    ldx buttons             ; last frame's buttons
    lda #1
    sta JOYPAD1             ; strobe: the next read returns A
    lda #0
    sta JOYPAD1
    ldy #8
@next:
    lda JOYPAD1
    lsr a                   ; bit 0 into carry
    rol buttons
    dey
    bne @next
    txa
    eor #$FF
    and buttons
    sta pressed
    rts

; Moves the candle by SPEED pixels per held direction, within the playfield, and turns it to face
; the way it walks.
move_player:
    lda #0
    sta temp                ; becomes non-zero when the candle moves

    lda buttons
    and #BUTTON_RIGHT
    beq @not_right
    lda player_x
    cmp #MAX_X
    bcs @not_right
    adc #SPEED              ; carry is clear
    sta player_x
    lda #0
    sta facing
    inc temp
@not_right:
    lda buttons
    and #BUTTON_LEFT
    beq @not_left
    lda player_x
    cmp #MIN_X + 1
    bcc @not_left
    sbc #SPEED              ; carry is set
    sta player_x
    lda #1
    sta facing
    inc temp
@not_left:
    lda buttons
    and #BUTTON_UP
    beq @not_up
    lda player_y
    cmp #MIN_Y + 1
    bcc @not_up
    sbc #SPEED
    sta player_y
    inc temp
@not_up:
    lda buttons
    and #BUTTON_DOWN
    beq @not_down
    lda player_y
    cmp #MAX_Y
    bcs @not_down
    adc #SPEED
    sta player_y
    inc temp
@not_down:
    lda temp
    beq @standing
    inc walk_timer
    rts
@standing:
    sta walk_timer          ; A = 0
    rts

; A starts a note on square 1 and B one on square 2, an octave higher. The candle's place picks the
; note: the screen is eight zones of 32 pixels over a pentatonic scale, low on the left.
play_pad_notes:
    lda player_x
    clc
    adc #8                  ; the candle's middle
    lsr a
    lsr a
    lsr a
    lsr a
    lsr a
    tax                     ; zone 0-7

    bit pressed             ; N = A, V = B
    bpl @no_a
    ldy pad_scale,x
    lda #SQ1_SOUND
    sta SQ1_VOL
    lda #SWEEP_OFF
    sta SQ1_SWEEP
    lda period_lo,y
    sta SQ1_LO
    lda period_hi,y
    ora #PAD_LENGTH
    sta SQ1_HI              ; loads the length counter: the note starts
    lda #2
    jsr show_note
@no_a:
    bit pressed
    bvc @no_b
    lda pad_scale,x
    clc
    adc #12
    tay
    lda #SQ2_SOUND
    sta SQ2_VOL
    lda #SWEEP_OFF
    sta SQ2_SWEEP
    lda period_lo,y
    sta SQ2_LO
    lda period_hi,y
    ora #PAD_LENGTH
    sta SQ2_HI
    lda #3
    jsr show_note
@no_b:
    rts

; Puts up the quaver with sprite palette A.
show_note:
    sta note_attr
    lda #NOTE_FRAMES
    sta note_timer
    rts

; Writes the candle, its flame and the quaver into the OAM buffer.
update_sprites:
    ; Facing left, every sprite is mirrored and each half's right-hand tile goes on the left.
    ldx facing
    lda flip_attributes,x   ; sprite palette 0: the candle
    sta oam + OAM_TOP_LEFT + OAM_ATTR
    sta oam + OAM_TOP_RIGHT + OAM_ATTR
    sta oam + OAM_BOTTOM_LEFT + OAM_ATTR
    sta oam + OAM_BOTTOM_RIGHT + OAM_ATTR
    ora #1                  ; sprite palette 1: the flame
    sta oam + OAM_FLAME + OAM_ATTR

    lda #SPR_BODY_TOP
    ora facing
    sta oam + OAM_TOP_LEFT + OAM_TILE
    eor #1
    sta oam + OAM_TOP_RIGHT + OAM_TILE
    ; While walking, the feet change every eight frames, starting with a step.
    ldy #SPR_BODY_STAND
    lda walk_timer
    beq @feet
    and #8
    bne @feet
    ldy #SPR_BODY_STEP
@feet:
    tya
    ora facing
    sta oam + OAM_BOTTOM_LEFT + OAM_TILE
    eor #1
    sta oam + OAM_BOTTOM_RIGHT + OAM_TILE
    ; The flame flickers between its two frames every eight frames.
    lda frame_count
    and #8
    lsr a
    lsr a
    lsr a
    adc #SPR_FLAME          ; carry is clear
    sta oam + OAM_FLAME + OAM_TILE

    ldy player_y
    dey                     ; a sprite shows from the line after its OAM Y
    sty oam + OAM_TOP_LEFT + OAM_Y
    sty oam + OAM_TOP_RIGHT + OAM_Y
    tya
    clc
    adc #8
    sta oam + OAM_BOTTOM_LEFT + OAM_Y
    sta oam + OAM_BOTTOM_RIGHT + OAM_Y
    tya
    sec
    sbc #7                  ; the flame's last row covers the top of the wick
    sta oam + OAM_FLAME + OAM_Y
    lda player_x
    sta oam + OAM_TOP_LEFT + OAM_X
    sta oam + OAM_BOTTOM_LEFT + OAM_X
    clc
    adc #4
    sta oam + OAM_FLAME + OAM_X
    adc #4
    sta oam + OAM_TOP_RIGHT + OAM_X
    sta oam + OAM_BOTTOM_RIGHT + OAM_X

    ; The quaver rises beside the flame, one line every two frames, until its time is up.
    lda note_timer
    beq @no_note
    dec note_timer
    lda #NOTE_FRAMES
    sec
    sbc note_timer
    lsr a
    sta temp                ; lines risen
    lda player_y
    sec
    sbc #12
    sbc temp
    sta oam + OAM_NOTE + OAM_Y
    lda #SPR_NOTE
    sta oam + OAM_NOTE + OAM_TILE
    lda note_attr
    sta oam + OAM_NOTE + OAM_ATTR
    lda player_x
    clc
    adc #13
    sta oam + OAM_NOTE + OAM_X
    rts
@no_note:
    lda #HIDDEN_Y
    sta oam + OAM_NOTE + OAM_Y
    rts

; ---- Triangle tune -------------------------------------------------------------------------------

; Counts down the current event; when it is over, starts the next one. An event holds a note (or
; REST), its duration in frames and the length-counter load that ends the note a little earlier,
; so that notes are heard apart. TUNE_END starts the tune again.
play_tune:
    dec tune_timer
    bne @done
    ldx tune_pos
    lda tune,x
    cmp #TUNE_END
    bne @event
    ldx #0
    lda tune,x
@event:
    tay                     ; the note
    lda tune + 1,x
    sta tune_timer
    cpy #REST
    beq @advance
    lda period_lo,y
    sta TRI_LO
    lda period_hi,y
    ora tune + 2,x
    sta TRI_HI              ; loads the length counter: the note starts
@advance:
    txa
    clc
    adc #3
    sta tune_pos
@done:
    rts

; ---- Screen ------------------------------------------------------------------------------------

; Copies the palette: 16 background entries, then 16 sprite entries.
load_palette:
    bit PPUSTATUS
    lda #>PALETTE
    sta PPUADDR
    lda #<PALETTE
    sta PPUADDR
    ldx #0
@next:
    lda palette,x
    sta PPUDATA
    inx
    cpx #32
    bne @next
    rts

; Fills the first nametable with sky (and its attributes with palette 0), then writes the records
; of `screen`. A record is a PPU address (high byte first), a count and its bytes; a count with
; bit 7 set is a run: the one byte that follows, (count AND $7F) times. An address high byte of 0
; ends the list.
draw_screen:
    bit PPUSTATUS
    lda #>NAMETABLE
    sta PPUADDR
    lda #<NAMETABLE
    sta PPUADDR
    lda #TILE_SKY
    ldx #4                  ; 4 x 256 bytes: tiles and attributes
    ldy #0
@fill:
    sta PPUDATA
    iny
    bne @fill
    dex
    bne @fill

    lda #<screen
    sta source
    lda #>screen
    sta source + 1
@record:
    ldy #0
    lda (source),y
    beq @done
    sta PPUADDR
    iny
    lda (source),y
    sta PPUADDR
    iny
    lda (source),y
    bmi @run
    tax
@literal:
    iny
    lda (source),y
    sta PPUDATA
    dex
    bne @literal
    beq @advance
@run:
    and #$7F
    tax
    iny
    lda (source),y
@repeat:
    sta PPUDATA
    dex
    bne @repeat
@advance:
    iny                     ; source += bytes of this record
    tya
    clc
    adc source
    sta source
    bcc @record
    inc source + 1
    bne @record
@done:
    rts

; ---- Data ----------------------------------------------------------------------------------------

.segment "RODATA"

SKY = $0C                   ; night blue backdrop

palette:
    ; background palettes
    .byte SKY, $30, $21, $0F    ; 0: stars, white text and the hills (colour 2 twinkles, colour 3 is dark)
    .byte SKY, $06, $28, $38    ; 1: title: red outline, orange, pale yellow
    .byte SKY, $38, $28, $0F    ; 2: yellow text and the moon
    .byte SKY, $2A, $17, $0F    ; 3: grass and soil (colour 3 as dark as the hills)
    ; sprite palettes (entry 0 is never shown; $3F10 shares its byte with the backdrop)
    .byte SKY, $07, $37, $27    ; 0: candle: outline, wax, wax shade
    .byte SKY, $16, $28, $38    ; 1: flame
    .byte SKY, $2C, $2C, $2C    ; 2: quaver after A
    .byte SKY, $24, $24, $24    ; 3: quaver after B

twinkle_colours:
    .byte $21, $31, $30, $11

flip_attributes:
    .byte 0, FLIP_H

; Screen records, see draw_screen.

; Tiles written from `row`, `column` on: a list in braces, or a string (text is ASCII).
.macro PUT row, column, tiles
    .local first, last
    .byte >(NAMETABLE + (row) * 32 + (column)), <(NAMETABLE + (row) * 32 + (column)), last - first
first:
    .byte tiles
last:
.endmacro

; A row of `count` copies of one tile.
.macro RUN row, column, count, tile
    .byte >(NAMETABLE + (row) * 32 + (column)), <(NAMETABLE + (row) * 32 + (column)), $80 | (count), tile
.endmacro

; A whole row of tiles `first` to `first + count - 1`, repeated.
.macro ACROSS row, first, count
    .byte >(NAMETABLE + (row) * 32), <(NAMETABLE + (row) * 32), 32
    .repeat 32, column
        .byte (first) + column .mod (count)
    .endrepeat
.endmacro

; A whole row of the two variants `first` and `first + 1`, mixed in an irregular pattern.
.macro MIXED row, first
    .byte >(NAMETABLE + (row) * 32), <(NAMETABLE + (row) * 32), 32
    .repeat 32, column
        .byte (first) + ((column * 13 + (row) * 7) .mod 5 < 2)
    .endrepeat
.endmacro

; A line of text in the middle of `row`.
.macro CENTRED row, text
    PUT row, (32 - .strlen(text)) / 2, text
.endmacro

; A word in big letters: three rows of three tiles per letter.
.macro TITLE row, column, letters
    .repeat 3, band
        .byte >(NAMETABLE + (row + band) * 32 + (column)), <(NAMETABLE + (row + band) * 32 + (column))
        .byte .strlen(letters) * 3
        .repeat .strlen(letters), letter
            .repeat 3, tile
                .byte TILE_BIG + .ident(.sprintf("GLYPH_%c", .strat(letters, letter))) * BIG_GLYPH_TILES + band * 3 + tile
            .endrepeat
        .endrepeat
    .endrepeat
.endmacro

screen:
    TITLE 4, 4, "TALLOWBY"
    CENTRED 9, "DEMO CARTRIDGE"
    CENTRED 20, "ARROWS MOVE  A B PLAY NOTES"
    CENTRED 22, "WALK TO CHANGE THE PITCH"

    PUT 1, 27, {TILE_MOON + 0, TILE_MOON + 1, TILE_MOON + 2}
    PUT 2, 27, {TILE_MOON + 3, TILE_MOON + 4, TILE_MOON + 5}
    PUT 3, 27, {TILE_MOON + 6, TILE_MOON + 7, TILE_MOON + 8}
    PUT 0, 9, {TILE_STAR_DOT}
    PUT 0, 30, {TILE_STAR_SMALL}
    PUT 1, 2, {TILE_STAR_BIG}
    PUT 1, 20, {TILE_STAR_DOT}
    PUT 2, 14, {TILE_STAR_SMALL}
    PUT 3, 7, {TILE_STAR_DOT}
    PUT 3, 21, {TILE_STAR_DOT}
    PUT 11, 4, {TILE_STAR_SMALL}
    PUT 12, 19, {TILE_STAR_DOT}
    PUT 12, 27, {TILE_STAR_BIG}
    PUT 13, 15, {TILE_STAR_DOT}
    PUT 14, 9, {TILE_STAR_BIG}
    PUT 15, 22, {TILE_STAR_SMALL}
    PUT 16, 2, {TILE_STAR_DOT}
    PUT 16, 17, {TILE_STAR_DOT}
    PUT 17, 29, {TILE_STAR_SMALL}
    PUT 18, 12, {TILE_STAR_SMALL}
    PUT 18, 24, {TILE_STAR_DOT}

    ; hills on the horizon, then the ground: grass, two rows of soil, deep soil
    ACROSS 24, TILE_HILLS, 8
    ACROSS 25, TILE_HILLS + 8, 8
    MIXED 26, TILE_GRASS
    MIXED 27, TILE_SOIL
    MIXED 28, TILE_SOIL
    RUN 29, 0, 32, TILE_DEEP_SOIL

    ; attributes: one byte per 32 x 32 pixels, two bits per 16 x 16 quarter
    ; (bits 0-1 top left, 2-3 top right, 4-5 bottom left, 6-7 bottom right)
    .byte >ATTRIBUTES, <ATTRIBUTES, 64
    .byte $00, $00, $00, $00, $00, $00, $88, $22   ; rows 0-3: sky; the moon (columns 26-29) in palette 2
    .byte $55, $55, $55, $55, $55, $55, $55, $55   ; rows 4-7: the title
    .byte $0A, $0A, $0A, $0A, $0A, $0A, $0A, $0A   ; rows 8-11: row 9's text in palette 2
    .byte $00, $00, $00, $00, $00, $00, $00, $00   ; rows 12-15
    .byte $00, $00, $00, $00, $00, $00, $00, $00   ; rows 16-19
    .byte $A0, $A0, $A0, $A0, $A0, $A0, $A0, $A0   ; rows 20-23: row 20 white, row 22 yellow
    .byte $F0, $F0, $F0, $F0, $F0, $F0, $F0, $F0   ; rows 24-27: hills, then the ground from row 26
    .byte $FF, $FF, $FF, $FF, $FF, $FF, $FF, $FF   ; rows 28-31
    .byte 0                                         ; end of the list

; ---- Music --------------------------------------------------------------------------------------

; Note numbers: semitones from C3. A note number gives the triangle that pitch; a square with the
; same period sounds an octave higher.
.repeat 3, octave
    .ident(.sprintf("C%d", octave + 3))  = octave * 12
    .ident(.sprintf("CS%d", octave + 3)) = octave * 12 + 1
    .ident(.sprintf("D%d", octave + 3))  = octave * 12 + 2
    .ident(.sprintf("DS%d", octave + 3)) = octave * 12 + 3
    .ident(.sprintf("E%d", octave + 3))  = octave * 12 + 4
    .ident(.sprintf("F%d", octave + 3))  = octave * 12 + 5
    .ident(.sprintf("FS%d", octave + 3)) = octave * 12 + 6
    .ident(.sprintf("G%d", octave + 3))  = octave * 12 + 7
    .ident(.sprintf("GS%d", octave + 3)) = octave * 12 + 8
    .ident(.sprintf("A%d", octave + 3))  = octave * 12 + 9
    .ident(.sprintf("AS%d", octave + 3)) = octave * 12 + 10
    .ident(.sprintf("B%d", octave + 3))  = octave * 12 + 11
.endrepeat
NOTE_COUNT = 36
REST       = $FE
TUNE_END   = $FF

; Equal-tempered frequencies of C5 to B5 in hundredths of a hertz.
FREQ_0  = 52325
FREQ_1  = 55437
FREQ_2  = 58733
FREQ_3  = 62225
FREQ_4  = 65926
FREQ_5  = 69846
FREQ_6  = 73999
FREQ_7  = 78399
FREQ_8  = 83061
FREQ_9  = 88000
FREQ_10 = 93233
FREQ_11 = 98777
CPU_CENTIHERTZ = 178977300  ; the CPU clock, 1789773 Hz, times 100

; Triangle timer period of each note: CPU clock / (32 x frequency) - 1, rounded; each octave down
; doubles the division's result.
.repeat NOTE_COUNT, note
    .ident(.sprintf("PERIOD_%d", note)) = ((CPU_CENTIHERTZ << (2 - note / 12)) + 16 * .ident(.sprintf("FREQ_%d", note .mod 12))) / (32 * .ident(.sprintf("FREQ_%d", note .mod 12))) - 1
.endrepeat

period_lo:
.repeat NOTE_COUNT, note
    .byte <.ident(.sprintf("PERIOD_%d", note))
.endrepeat
period_hi:
.repeat NOTE_COUNT, note
    .byte >.ident(.sprintf("PERIOD_%d", note))
.endrepeat

; The notes of the eight zones for A (B plays them an octave higher): C D E G A C D E.
pad_scale:
    .byte C3, D3, E3, G3, A3, C4, D4, E4

EIGHTH = 9                  ; frames per eighth note

; One note of the tune, `eighths` long. The length-counter load (bits 3-7 of the triangle's high
; period register) lets it sound for about three quarters of that.
.macro NOTE pitch, eighths
    .if eighths = 1
        .byte pitch, EIGHTH, 12 << 3        ; length 14 half frames: 7 frames
    .elseif eighths = 2
        .byte pitch, 2 * EIGHTH, 31 << 3    ; length 30: 15 frames
    .elseif eighths = 3
        .byte pitch, 3 * EIGHTH, 4 << 3     ; length 40: 20 frames
    .else
        .error "NOTE: 1 to 3 eighths"
    .endif
.endmacro

.macro PAUSE eighths
    .byte REST, (eighths) * EIGHTH, 0
.endmacro

; Eight bars of broken chords in C major.
tune:
    NOTE C4, 1
    NOTE E4, 1
    NOTE G4, 1
    NOTE C5, 1
    NOTE B4, 1
    NOTE G4, 1
    NOTE D5, 2

    NOTE C5, 1
    NOTE A4, 1
    NOTE F4, 1
    NOTE A4, 1
    NOTE G4, 1
    NOTE E4, 1
    NOTE C4, 2

    NOTE D4, 1
    NOTE F4, 1
    NOTE A4, 1
    NOTE F4, 1
    NOTE E4, 1
    NOTE G4, 1
    NOTE C5, 2

    NOTE B4, 1
    NOTE G4, 1
    NOTE D4, 1
    NOTE B3, 1
    NOTE C4, 3
    PAUSE 1

    NOTE E4, 1
    NOTE G4, 1
    NOTE C5, 1
    NOTE E5, 1
    NOTE D5, 1
    NOTE C5, 1
    NOTE G4, 2

    NOTE A4, 1
    NOTE C5, 1
    NOTE F5, 1
    NOTE E5, 1
    NOTE D5, 1
    NOTE C5, 1
    NOTE A4, 2

    NOTE G4, 1
    NOTE B4, 1
    NOTE D5, 1
    NOTE F5, 1
    NOTE E5, 1
    NOTE D5, 1
    NOTE B4, 2

    NOTE C5, 1
    NOTE G4, 1
    NOTE E4, 1
    NOTE G4, 1
    NOTE C5, 3
    PAUSE 1
    .byte TUNE_END
.assert * - tune <= 256, error, "the tune is indexed by one register"

; ---- Vectors -------------------------------------------------------------------------------------

.segment "VECTORS"
    .word nmi, reset, irq
