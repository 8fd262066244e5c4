; Action 53 (28): 128 KB PRG, 32 KB CHR RAM.

.include "board_script.inc"

board_rom
    .word action53
action53:
    prg 13, 14, 15, 16  ; the last 32 KB at power-on
    write $5000, $00    ; $5000 selects: $00 CHR, $01 inner bank, $80 mode, $81 outer bank
    write $8000, $00
    chr_tag $00, $D0
    write $8000, $03
    chr_tag $00, $D3
    write $5000, $80    ; mode: fixed last half, 64 KB games, horizontal
    write $8000, $1F
    write $5000, $81    ; outer bank 1
    write $8000, $01
    write $5000, $01    ; inner bank 2
    write $8000, $02
    prg 5, 6, 7, 8
    write $5000, $00
    write $8000, $00
    chr $D0, 0
    write $8000, $03
    chr $D3, 0
    mirrored_horizontal $10
    write $5000, $80    ; one-screen, where bit 4 of a CHR or inner write picks the page
    write $8000, $1C
    nt $11, $11, $11, $11
    write $5000, $01
    write $8000, $12
    nt $13, $13, $13, $13
    prg 5, 6, 7, 8
    write $8000, $02
    nt $11, $11, $11, $11
    done
board_rom_end
