#!/usr/bin/env python3
"""Draws the demo's two sprite packages and writes them next to the demo.

hero:    ../data/hero/ -- a package folder (Desc.ini and 000.png ... 011.png): a small
         figure walking (pictures 0-7) and jumping (8-11), magenta as its colour key.
effects: ./effects/    -- the source folder of ../data/effects.pak: a sparkle in six
         frames with per-pixel alpha. Pack it with `vireo-pack effects ../data/effects.pak`;
         the demo's CTest `demo_packages_current` checks the committed file matches.

Every Desc.ini holds every key the loader looks up, so loading never rewrites it.
Run it again after changing a drawing; the outputs are committed.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
MAGENTA = (255, 0, 255, 255)


def png(width, height, pixels):
    """RGBA rows -> PNG bytes (8-bit RGBA, no filtering)."""
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def near_segment(x, y, a, b, width):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    length = dx * dx + dy * dy
    t = 0.0 if length == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length))
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= width * width / 4


def hero_frame(index):
    """48 x 64: head, body, arms and legs; walking swings the limbs, jumping crouches and stretches."""
    w, h = 48, 64
    if index < 8:
        phase = index / 8 * 2 * math.pi
        swing, lift, arms_up, leg = 0.55 * math.sin(phase), abs(math.sin(phase)) * 2, 0.0, 20
    else:
        # crouch, push, stretch, tuck: the feet stay on the picture's bottom edge or above it
        swing, lift, arms_up, leg = [(0.6, -4, 0.2, 20), (0.2, 0, 0.9, 21), (0.05, 2, 1.0, 20), (0.5, 3, 0.5, 16)][index - 8]
    hip = (24, 42 - lift)
    shoulder = (24, 26 - lift)
    head = (24, 15 - lift)
    feet = [(hip[0] + leg * math.sin(s), hip[1] + leg * math.cos(s)) for s in (swing, -swing)]
    arm = 14
    hands = []
    for s in (-swing, swing):
        angle = s + arms_up * 2.4
        hands.append((shoulder[0] + arm * math.sin(angle), shoulder[1] + arm * math.cos(angle)))
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            c = MAGENTA
            for foot in feet:
                if near_segment(x + 0.5, y + 0.5, hip, foot, 5):
                    c = (40, 50, 90, 255)
            if near_segment(x + 0.5, y + 0.5, shoulder, hip, 11):
                c = (40, 110, 200, 255)
            for hand in hands:
                if near_segment(x + 0.5, y + 0.5, shoulder, hand, 4):
                    c = (230, 180, 140, 255)
            if (x + 0.5 - head[0]) ** 2 + (y + 0.5 - head[1]) ** 2 <= 64:
                c = (240, 195, 150, 255)
                if abs(x + 0.5 - (head[0] + 3)) < 1.2 and abs(y + 0.5 - (head[1] - 1)) < 1.2:
                    c = (20, 20, 30, 255)
            row.append(c)
        rows.append(row)
    return png(w, h, rows)


def sparkle_frame(index):
    """32 x 32 four-pointed star with a glow, turning and pulsing over six frames."""
    size, centre = 32, 16.0
    turn = index / 6 * (math.pi / 2)
    pulse = 0.75 + 0.25 * math.sin(index / 6 * 2 * math.pi)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            dx, dy = x + 0.5 - centre, y + 0.5 - centre
            r = math.hypot(dx, dy)
            a = math.atan2(dy, dx) - turn
            spike = abs(math.cos(2 * a)) ** 8  # four points
            reach = (4 + 11 * spike) * pulse
            core = max(0.0, 1 - r / reach) if reach > 0 else 0.0
            glow = max(0.0, 1 - r / (14 * pulse)) * 0.35
            alpha = min(1.0, core * 2 + glow)
            warm = min(1.0, core * 1.5)
            row.append((255, int(200 + 55 * warm), int(90 + 165 * warm), int(round(alpha * 255))))
        rows.append(row)
    return png(size, size, rows)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def main():
    hero = os.path.join(HERE, "..", "data", "hero")
    for i in range(12):
        write(os.path.join(hero, "%03d.png" % i), hero_frame(i))
    centres = "".join("%03d=24,63\r\n" % i for i in range(12))
    write(os.path.join(hero, "Desc.ini"), (
        "; The demo's hero: pictures 0-7 walk, 8-11 jump (crouch, push, stretch, tuck).\r\n"
        "[Picture]\r\nPictureCount=12\r\nColorKey_R=255\r\nColorKey_G=0\r\nColorKey_B=255\r\n\r\n"
        "[Animation]\r\nFrameDelay=4\r\nSeqCount=3\r\n"
        "Seq001=0,7,1 ;walk\r\nSeq002=8,11,1 ;jump\r\nSeq003=11,8,1 ;land: the jump backwards\r\n\r\n"
        "[HitBox]\r\nHitBoxCount=2\r\n000=14,20,34,64 ;body\r\n001=16,4,32,22 ;head\r\n\r\n"
        "[CenterPoint]\r\n" + centres).encode("ascii"))

    effects = os.path.join(HERE, "effects")
    for i in range(6):
        write(os.path.join(effects, "%03d.png" % i), sparkle_frame(i))
    write(os.path.join(effects, "Desc.ini"), (
        "; A sparkle on the UI clock: it keeps turning while the game is paused.\r\n"
        "[Picture]\r\nPictureCount=6\r\nColorKey_R=255\r\nColorKey_G=0\r\nColorKey_B=255\r\n\r\n"
        "[Animation]\r\nFrameDelay=2\r\nSeqCount=2\r\nSeq001=0,5,1\r\nSeq002=5,0,1\r\n\r\n"
        "[HitBox]\r\nHitBoxCount=1\r\n000=0,0,32,32\r\n\r\n[CenterPoint]\r\n000=16,16\r\n").encode("ascii"))


if __name__ == "__main__":
    main()
