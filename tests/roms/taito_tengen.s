; 0 Taito TC0190 (33), 1 Taito TC0690 (48), 2 Tengen RAMBO-1 (64). 128 KB PRG, 128 KB CHR ROM.

.include "board_script.inc"

board_rom
    .word tc0190, tc0690, rambo1
tc0190:
    write $8000, $45        ; 8 KB at $8000, bit 6: horizontal
    write $8001, $06
    prg 6, 7, 15, 16
    write $8002, $05        ; 2 KB at $0000, 1 KB at $1000
    write $A000, $0C
    chr 10, 12
    mirrored_horizontal $10
    write $8000, $05
    mirrored_vertical $20
    done
tc0690:
    write $8000, $45        ; 6 bank bits
    write $8001, $06
    prg 6, 7, 15, 16
    write $8002, $05
    write $A000, $0C
    chr 10, 12
    write $E000, $40        ; bit 6: horizontal
    mirrored_horizontal $10
    done
rambo1:
    bank_select $06, $03    ; R6, R7, RF: 8 KB at $8000, $A000, $C000
    bank_select $07, $04
    bank_select $0F, $05
    prg 4, 5, 6, 16
    write $8000, $46        ; P: RF at $8000, R6 at $C000
    prg 6, 5, 4, 16
    bank_select $00, $21    ; R0: 2 KB; R2: 1 KB at $1000
    bank_select $02, $0C
    chr 32, 12
    write $8000, $80        ; C: the halves swapped
    chr 12, 32
    write $8000, $20        ; K: R0 a 1 KB bank
    chr 33, 12
    write $A000, $01        ; horizontal
    mirrored_horizontal $10
    done
board_rom_end
