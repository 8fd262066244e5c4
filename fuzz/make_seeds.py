#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets: fuzz/corpus/image/*.bin and fuzz/corpus/text/*.txt.

Image seeds are the image target's steering bytes (see image_target.cpp) followed by an iNES
image, so none of them is an image file itself. The images are made here: one small program per
mapper that turns on the picture and NMI and then writes a counter to every mapper, PPU and APU
register in a loop, headers of every kind the loader refuses, and the project's own test ROMs
when a build folder holding them is named on the command line."""
import pathlib
import sys

here = pathlib.Path(__file__).resolve().parent


def program():
    code = bytes([0x78,                    # SEI
                  0xA9, 0x80, 0x8D, 0x00, 0x20,  # NMI on
                  0xA9, 0x1E, 0x8D, 0x01, 0x20,  # background and sprites on
                  0xA9, 0x0F, 0x8D, 0x15, 0x40,  # every channel on
                  0xA2, 0x00])             # LDX #0
    loop = 0x8000 + len(code)
    body = bytes([0x8A])                   # TXA
    for address in (0x8000, 0x8001, 0xA000, 0xA001, 0xC000, 0xC001, 0xE000, 0xE001, 0x6000, 0x4100, 0x5000, 0x4800,
                    0x9003, 0x9030, 0xF001, 0xF800,
                    0x4000, 0x4002, 0x4003, 0x4008, 0x400C, 0x2006, 0x2007, 0x2005, 0x4016):
        body += bytes([0x8D, address & 0xFF, address >> 8])  # STA address
    body += bytes([0xAD, 0x02, 0x20, 0xAD, 0x07, 0x20, 0xAD, 0x16, 0x40])  # status, data, controller
    body += bytes([0xE8, 0x4C, loop & 0xFF, loop >> 8])  # INX, JMP loop
    return code + body


def flash_program(writes):
    """A program that stores each (address, value) in turn, as a game commands its flash chip, then
    runs the register loop of program()."""
    code = bytes([0x78])
    for address, value in writes:
        code += bytes([0xA9, value, 0x8D, address & 0xFF, address >> 8])  # LDA #value, STA address
    return code + program()


def image(prg_banks, chr_banks, flags6=0, flags7=0, length=None, nes2=None, code=None):
    # nes2: bytes 8-15 of a NES 2.0 header (byte 7 then gets its NES 2.0 mark)
    header = bytes([0x4E, 0x45, 0x53, 0x1A, prg_banks, chr_banks, flags6, flags7 | (0x08 if nes2 else 0)])
    header += bytes(nes2) if nes2 else bytes(8)
    prg = bytearray(prg_banks * 16384)
    if prg:
        code = code or program()
        for bank in range(prg_banks):   # the program at the start of every bank, vectors in each
            prg[bank * 16384:bank * 16384 + len(code)] = code
            prg[bank * 16384 + 0x3FFA:bank * 16384 + 0x4000] = bytes([0x00, 0x80, 0x00, 0x80, 0x00, 0x80])
            prg[bank * 16384 + 0x3FF0] = 0x40  # RTI
    chr_data = bytes((i * 7) & 0xFF for i in range(chr_banks * 8192))
    data = header + bytes(prg) + chr_data
    return data if length is None else data[:length]


def steering(frames=2, scanline=False, silent=False, draw=True, buttons=(0x00, 0x08, 0x81, 0xF0)):
    return bytes([(frames - 1) | (4 if scanline else 0) | (8 if silent else 0) | (0x10 if draw else 0)]) + bytes(buttons)


def write(folder, name, data):
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


def main():
    images = here / "corpus" / "image"
    for mapper in (0, 1, 2, 3, 4, 7, 9, 10, 11, 13, 16, 18, 19, 21, 22, 23, 24, 25, 26, 28, 30, 33, 34, 48, 64, 65, 66,
                   67, 68, 69, 71, 78, 79, 85, 87, 88, 95, 111, 118, 119, 140, 154, 159, 180, 184, 185, 206, 232, 5):
        flags6, flags7 = (mapper & 0x0F) << 4, mapper & 0xF0
        write(images, f"mapper{mapper}.bin", steering() + image(2, 1, flags6 | 1, flags7))
    for mapper in (1, 4, 9):
        flags6 = (mapper & 0x0F) << 4
        write(images, f"mapper{mapper}-chr-ram.bin", steering(scanline=True) + image(1, 0, flags6))
    write(images, "one-bank.bin", steering(silent=True) + image(1, 1))
    write(images, "four-screen.bin", steering(frames=4, draw=False) + image(2, 1, 0x08))
    write(images, "trainer.bin", steering() + image(2, 1, 0x04))
    write(images, "flags7-d.bin", steering() + image(2, 1, 0x11, 0x44))
    write(images, "largest.bin", steering(frames=1) + image(64, 128, 0x40, length=16 + 16384))
    write(images, "truncated-prg.bin", steering() + image(4, 1, length=16 + 20000))
    write(images, "header-only.bin", steering() + image(2, 1, length=16))
    write(images, "no-prg.bin", steering() + image(0, 1))
    write(images, "prg-too-large.bin", steering() + image(1, 1)[:4] + bytes([65, 1]) + bytes(10))
    write(images, "chr-too-large.bin", steering() + image(1, 1)[:4] + bytes([1, 129]) + bytes(10))
    # NES 2.0: work and battery RAM and 32 KB of CHR RAM; a mapper above 255 with a submapper and
    # PAL timing; an exponent-multiplier PRG size (8 KB); sizes beyond the file (read as iNES).
    write(images, "nes2-ram-sizes.bin", steering() + image(2, 0, 0x12, 0, nes2=[0, 0, 0x97, 0x09, 0, 0, 0, 0]))
    write(images, "nes2-mapper-above-255.bin", steering() + image(2, 1, 0x41, 0, nes2=[0x31, 0, 0x07, 0, 1, 0, 0, 0]))
    write(images, "nes2-exponent-size.bin",
          steering() + image(1, 1, 0x40, 0, nes2=[0, 0x0F, 0x70, 0, 3, 0, 0, 0])[:16] + bytes(8192 + 8192))
    # NES 2.0 boards told apart by submapper or RAM: MMC6, MMC3A, 78.3, and the consoles' timings.
    write(images, "nes2-mmc6.bin", steering() + image(2, 1, 0x42, 0, nes2=[0x10, 0, 0x40, 0, 0, 0, 0, 0]))
    write(images, "nes2-mmc3a.bin", steering() + image(2, 1, 0x40, 0, nes2=[0x40, 0, 0x07, 0, 0, 0, 0, 0]))
    write(images, "nes2-78-3.bin", steering() + image(2, 1, 0xE8, 0x40, nes2=[0x30, 0, 0, 0, 0, 0, 0, 0]))
    for timing in (1, 2, 3):
        write(images, f"nes2-timing{timing}.bin", steering() + image(2, 1, 0x40, 0, nes2=[0, 0, 0x07, 0, timing, 0, 0, 0]))
    # The flash boards, with the chip's commands: UNROM 512 programs a byte and erases a sector
    # (the bank register at 0xC000 before each step), GTROM enters its ID mode.
    unlock = [(0xC000, 1), (0x9555, 0xAA), (0xC000, 0), (0xAAAA, 0x55), (0xC000, 1)]
    write(images, "nes2-unrom512-flash.bin", steering() + image(
        4, 0, 0xE2, 0x10, nes2=[0, 0, 0, 0x09, 0, 0, 0, 0],
        code=flash_program(unlock + [(0x9555, 0xA0), (0x8100, 0x12)] + unlock + [(0x9555, 0x80)] + unlock +
                           [(0x9000, 0x30)])))
    write(images, "nes2-gtrom-id.bin", steering() + image(
        4, 0, 0xFA, 0x60, nes2=[0, 0, 0, 0x09, 0, 0, 0, 0],
        code=flash_program([(0xD555, 0xAA), (0xAAAA, 0x55), (0xD555, 0x90)])))
    write(images, "nes2-beyond-file.bin", steering() + image(1, 1, 0x10, 0, nes2=[0, 0x11, 0, 0, 0, 0, 0, 0]))
    write(images, "bad-magic.bin", steering() + b"NES\x00" + bytes([1, 1]) + bytes(10))
    write(images, "short.bin", steering() + b"NE")
    write(images, "empty.bin", steering())
    for built in sys.argv[1:]:   # the project's own assembled test ROMs and music files
        for rom in sorted(pathlib.Path(built).glob("*.nes")):
            write(images, f"rom-{rom.stem}.bin", steering() + rom.read_bytes())
        for music in sorted(pathlib.Path(built).glob("*.nsf")):
            write(images, f"music-{music.stem}.bin", steering(frames=4) + music.read_bytes())

    texts = here / "corpus" / "text"
    write(texts, "script.txt", b"\x00# walk right, jump\n0 -\n10 right\n20 a+right\n30 start\n40 up+down+left+b+select\n")
    write(texts, "script-bad-frame.txt", b"\x00" + b"5 a\n3 b\n")
    write(texts, "script-huge-frame.txt", b"\x00" + b"99999999999 a\n")
    write(texts, "script-bad-button.txt", b"\x00" + b"1 a+jump\n")
    write(texts, "game-genie.txt", b"\x01PZLGIT\npzlgit\nPZLGITYE\nNNNNNNNN\nAPZ\nGOSSIPAPZLGITYEOXUKSVN\n")
    write(texts, "command-line.txt", b"\x02game.nes\x00-fskip\x002.5\x00-gg\x00SXIOPO\x00-frames\x0060\x00-silent\x00"
          b"-SCANLINE\x00-screenshot\x00a.png\x00-wav\x00a.wav\x00-input\x00s.txt\x00-testrom\x00-benchmark\x00-headless")
    write(texts, "command-line-bad.txt", b"\x02game.nes\x00-frames\x00 5\x00-fskip")
    write(texts, "command-line-help.txt", b"\x02--help")
    write(texts, "keymap.txt", b"\x03" + bytes([0x7A, 0, 0x78, 0, 0x20, 0, 0x0D, 0, 0x11, 1, 0x12, 1, 0x14, 1, 0x13, 1]))
    write(texts, "keymap-short.txt", b"\x03\x7A\x00\x78")
    write(texts, "gamepad.txt", b"\x04# pad\na button 2\nb button 1\nup hat 0 up\nleft axis 0 -\nright axis 0 +\n"
          b"start button 99\nselect bogus\n")
    # state.bin (reader 5) is a byte 5 and a state file written by tallowby -savestate; any game's will do.
    # state-format1.bin and state-format2.bin are the same with states of formats 1 and 2
    # (tests/data/scattered_writes-v1.ss0, tests/data/mmc3_split-v2.ss0), for the readers of the older
    # formats.


main()
