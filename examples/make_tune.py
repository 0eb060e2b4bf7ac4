#!/usr/bin/env python3
"""Writes tune.raw: a short tune as raw MIDI bytes, the way they would
travel on a MIDI cable (running status included, no timing).

Usage: make_tune.py [OUTPUT]   (default: tune.raw beside this script)
"""

import os
import sys

NOTE_ON, NOTE_OFF, CONTROL, PROGRAM, PRESSURE, BEND = 0x90, 0x80, 0xB0, 0xC0, 0xD0, 0xE0


def tune(channel=0):
    out = bytearray()

    def status(kind):
        out.append(kind | channel)

    # General MIDI "system on": a universal non-real-time sysex message.
    out += bytes([0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7])
    status(PROGRAM); out += bytes([73])                      # Flute
    status(CONTROL); out += bytes([7, 100])                  # main volume
    out += bytes([10, 64])                                   # pan, running status
    out += bytes([91, 40])                                   # reverb depth
    status(NOTE_ON); out += bytes([60, 100])                 # C
    status(NOTE_OFF); out += bytes([60, 64])
    status(NOTE_ON); out += bytes([62, 100, 62, 0])          # D, released by velocity 0
    out += bytes([64, 100, 64, 0])                           # E
    status(BEND); out += bytes([0x00, 0x50, 0x00, 0x40])     # bend up, back to centre
    status(NOTE_ON); out += bytes([65, 90])                  # F
    status(CONTROL); out += bytes([64, 127])                 # sustain pedal down
    status(NOTE_ON); out += bytes([65, 0, 67, 90, 67, 0])    # G
    status(CONTROL); out += bytes([64, 0])                   # sustain pedal up
    status(PRESSURE); out += bytes([48])
    status(NOTE_ON); out += bytes([72, 112])                 # high C
    status(NOTE_OFF); out += bytes([72, 0])
    status(CONTROL); out += bytes([123, 0])                  # all notes off
    return bytes(out)


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "tune.raw")
    data = tune()
    with open(path, "wb") as f:
        f.write(data)
    print(f"{path}: {len(data)} bytes")


if __name__ == "__main__":
    main()
