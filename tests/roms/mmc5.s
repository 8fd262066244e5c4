; MMC5 (5): 128 KB PRG, 128 KB CHR ROM, 64 KB PRG RAM.

.include "board_script.inc"

board_rom scripts
scripts:
    .word mmc5
mmc5:
    prg 1, 1, 1, 16         ; mode 3 at power-on, 0x5117 = $FF
    write $5114, $85        ; 8 KB each
    write $5115, $86
    write $5116, $87
    prg 6, 7, 8, 16
    write $5100, $02        ; 16 KB from 0x5115, 8 KB from 0x5116 and 0x5117
    prg 7, 8, 8, 16
    write $5100, $01        ; 16 KB from 0x5115 and 0x5117
    prg 7, 8, 15, 16
    write $5100, $00        ; 32 KB from 0x5117
    prg 13, 14, 15, 16
    write $5101, $03        ; CHR: 1 KB banks of set A
    write $5120, $21
    write $5124, $0C
    chr 33, 12
    write $5101, $01        ; 4 KB banks: 0x5123 and 0x5127
    write $5123, $05
    write $5127, $03
    chr 20, 12
    write $5104, $02        ; ExRAM as RAM
    write $5C00, $77
    read $5C00, $77
    write $5104, $03        ; read-only
    write $5C00, $11
    read $5C00, $77
    write $5104, $00        ; a nametable: CIRAM 0 and 1, ExRAM, fill
    write $5106, $33
    write $5107, $02
    write $5105, $E4
    nt $00, $00, $77, $33
    nt_fill $10             ; the fill takes no writes
    nt $10, $11, $12, $33
    write $5205, 200        ; 200 x 200 = $9C40
    write $5206, 200
    read $5205, $40
    read $5206, $9C
    write $5102, $02        ; PRG RAM writable with 2 and 1
    write $5103, $01
    write $5113, $01
    write $6000, $5A
    read $6000, $5A
    write $5113, $00
    read $6000, $00
    write $5102, $00
    write $6000, $99
    read $6000, $00
    done
board_rom_end
