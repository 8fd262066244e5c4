; MMC3 and its boards: 0 MMC3 with 8 KB of PRG RAM (NES 2.0), 1 MMC6 (4.1, 1 KB of battery RAM),
; 2 TxSROM (118), 3 TQROM (119: 64 KB of CHR ROM and 8 KB of CHR RAM). 128 KB PRG.

.include "board_script.inc"

board_rom
    .word mmc3, mmc6, txsrom, tqrom
mmc3:
    bank_select $00, $05  ; R0: 2 KB, bit 0 ignored
    chr 4, 4
    write $6000, $05
    write $A001, $C0    ; bit 7 on, bit 6 write-protected
    write $6000, $09
    read $6000, $05
    write $A001, $00    ; off: the open bus
    read $6000, $60
    done
mmc6:
    write $8000, $20    ; bit 5: the RAM on
    write $A001, $30    ; bits 4-7 the write and read enables of the halves at $7000 and $7200
    write $7000, $11
    write $7200, $22
    read $7000, $11
    read $7C00, $11
    read $7200, $00     ; a half not readable reads 0 while the other is
    read $6000, $60
    write $A001, $F0
    write $7200, $22
    read $7E00, $22
    write $8000, $00    ; off: $A001 cleared and ignored
    write $A001, $F0
    read $7000, $70
    done
txsrom:
    bank_select $00, $80  ; CHR mode 0: bit 7 of R0 for $2000/$2400, of R1 for $2800/$2C00
    nt_fill $10
    write $8001, $00
    nt $13, $13, $13, $13
    bank_select $85, $80  ; mode 1: R2-R5 one each
    chr 4, 0
    nt $13, $13, $13, $11
    done
tqrom:
    bank_select $02, $43  ; bit 6 of a bank: the CHR RAM
    chr_tag $10, $A5
    chr 0, $A5
    write $8001, $05
    chr_tag $10, $A6    ; ROM: not written
    chr 0, 5
    write $8001, $43
    chr 0, $A5
    done
board_rom_end
