#!/usr/bin/env python3
"""Makes every picture, sound, piece of music and the movie of the demo game.

usage: make_demo_assets.py GAME_DIR

Everything is drawn or synthesised here from numbers, with the standard library only (ffmpeg
encodes the movie), so the same files come out on every run:

  cg/     24-bit BMP pictures (their texts written with ImageMagick in an IPA font) and two PNG pictures (read through velmoimg.spi): skies,
          landscapes, two silhouettes on a magenta colour key with their shade masks, the
          message window's frame, the title screen with its buttons and their hover looks
  se/     sound effects (a bell, the sea), WAV
  voice/  a short voice-like line for each language, WAV
  cd/     track02.wav: the looping music played as CD track 2 where there is no CD drive
  bgm/    theme.mid: the same tune as a MIDI file (standard MIDI file, format 0)
  movie/  lanterns.avi: a short movie of rising lanterns, MS Video 1 (ffmpeg -c:v msvideo1)
"""

import math
import os
import struct
import subprocess
import sys
import wave
import zlib

W, H = 640, 480


class Canvas:
    """An RGB picture kept as rows of bytes; every shape is filled by horizontal spans."""

    def __init__(self, width, height, colour=(0, 0, 0)):
        self.width, self.height = width, height
        self.rows = [bytearray(bytes(colour) * width) for _ in range(height)]

    def span(self, y, x0, x1, colour):
        if 0 <= y < self.height:
            x0, x1 = max(0, int(x0)), min(self.width, int(x1))
            if x1 > x0:
                self.rows[y][x0 * 3:x1 * 3] = bytes(colour) * (x1 - x0)

    def vgradient(self, top, bottom, y0=0, y1=None):
        y1 = self.height if y1 is None else y1
        for y in range(y0, y1):
            t = (y - y0) / max(1, y1 - y0 - 1)
            self.span(y, 0, self.width, mix(top, bottom, t))

    def rect(self, x, y, w, h, colour):
        for yy in range(y, y + h):
            self.span(yy, x, x + w, colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        for y in range(int(cy - ry), int(cy + ry) + 1):
            d = 1 - ((y - cy) / ry) ** 2
            if d >= 0:
                half = rx * math.sqrt(d)
                self.span(y, cx - half, cx + half + 1, colour)

    def ridge(self, base, heights, colour):
        """Fills below a skyline: heights(x) gives the top of the land at column x."""
        for x in range(self.width):
            top = int(base - heights(x))
            for y in range(max(0, top), self.height):
                self.rows[y][x * 3:x * 3 + 3] = bytes(colour)

    def polygon(self, points, colour):
        ys = [p[1] for p in points]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            xs = []
            for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
                if (ay <= y < by) or (by <= y < ay):
                    xs.append(ax + (y - ay) * (bx - ax) / (by - ay))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                self.span(y, a, b + 1, colour)

    def paste(self, other, x, y):
        for row in range(other.height):
            if 0 <= y + row < self.height:
                self.rows[y + row][x * 3:(x + other.width) * 3] = other.rows[row]

    def save_bmp(self, path):
        stride = (self.width * 3 + 3) & ~3
        pad = bytes(stride - self.width * 3)
        data = bytearray()
        for row in reversed(self.rows):
            # BMP pixels are B, G, R.
            bgr = bytearray(row)
            bgr[0::3], bgr[2::3] = row[2::3], row[0::3]
            data += bgr + pad
        header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(data), 2835,
                           2835, 0, 0)
        write(path, header + info + data)

    def save_png(self, path):
        raw = b"".join(b"\x00" + bytes(row) for row in self.rows)

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body +
                    struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

        ihdr = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        write(path, b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
              chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# The title buttons' texts, top to bottom.
BUTTON_LABELS = ["日本語ではじめる", "Start in English", "しおり / Load", "おわる / Quit"]
FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"  # Debian's fonts-ipafont-gothic


def label(path, size, colour, texts):
    """Writes texts onto a BMP picture with ImageMagick: (x, baseline y, text) each."""
    args = ["convert", path, "+antialias", "-font", FONT, "-pointsize", str(size), "-fill", colour]
    for x, y, text in texts:
        args += ["-annotate", "+%d+%d" % (x, y), text]
    subprocess.run(args + ["-type", "TrueColor", "BMP3:" + path], check=True)


def mix(a, b, t):
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(3))


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


KEY = (255, 0, 255)  # the colour key of the silhouettes: the top-left pixel of their pictures


def sky(top, bottom, sun=None, stars=False):
    c = Canvas(W, H)
    c.vgradient(top, bottom)
    if stars:
        for i in range(90):
            x, y = (i * 173) % W, (i * 97) % 300
            c.rect(x, y, 2, 2, (255, 255, 230))
    if sun:
        x, y, r, colour = sun
        c.ellipse(x, y, r, r, colour)
    return c


def clouds(c, colour, seed):
    for i in range(4):
        x, y = (seed * 131 + i * 167) % 560 + 40, 50 + (seed * 37 + i * 53) % 120
        for j in range(3):
            c.ellipse(x + j * 38, y - (j % 2) * 12, 48, 18, colour)


def hills(c, base, colour, wave1, wave2, phase):
    c.ridge(base, lambda x: 40 * math.sin(x / wave1 + phase) + 22 * math.sin(x / wave2), colour)


def silhouette(body, hair, skin, ribbon):
    """A standing figure 180 x 320 on the colour key, and its shade mask (black shows it)."""
    c = Canvas(180, 320, KEY)
    c.polygon([(50, 140), (130, 140), (160, 318), (20, 318)], body)  # dress or coat
    c.rect(78, 110, 24, 34, skin)  # neck
    c.ellipse(90, 80, 42, 48, hair)  # hair behind
    c.ellipse(90, 86, 34, 38, skin)  # face
    c.ellipse(90, 56, 38, 22, hair)  # fringe
    c.rect(64, 86, 8, 4, (40, 30, 30))
    c.rect(108, 86, 8, 4, (40, 30, 30))
    if ribbon:
        c.polygon([(96, 34), (132, 20), (124, 50)], ribbon)
    mask = Canvas(180, 320)
    for y in range(320):
        v = int(150 * max(0, y - 160) / 160)  # darker toward the feet: the figure fades out
        mask.span(y, 0, 180, (v, v, v))
    return c, mask


def pictures(game):
    cg = os.path.join(game, "cg")
    # The title: a dusk sky over the hills, and the name of the game.
    title = sky((30, 20, 70), (240, 140, 110), sun=(500, 330, 60, (255, 210, 150)))
    hills(title, 400, (60, 40, 80), 70, 23, 0.3)
    hills(title, 450, (30, 20, 50), 50, 17, 1.7)
    title.rect(120, 60, 400, 4, (255, 240, 220))
    title.rect(120, 150, 400, 4, (255, 240, 220))
    title.save_bmp(os.path.join(cg, "title.bmp"))
    label(os.path.join(cg, "title.bmp"), 40, "#fff0dc", [(160, 112, "ひかりの丘")])
    label(os.path.join(cg, "title.bmp"), 20, "#fff0dc", [(250, 140, "The Hill of Lights")])

    # Title buttons: four in a column, normal looks in one picture, hover looks in another.
    labels = 4
    for name, face, edge in (("buttons", (250, 240, 225), (90, 60, 40)),
                             ("buttons_on", (255, 200, 120), (160, 40, 20))):
        b = Canvas(200, 44 * labels, KEY)
        for i in range(labels):
            b.rect(4, i * 44 + 4, 192, 36, edge)
            b.rect(7, i * 44 + 7, 186, 30, face)
        b.save_bmp(os.path.join(cg, name + ".bmp"))
        label(os.path.join(cg, name + ".bmp"), 17, "#%02x%02x%02x" % edge,
              [(24, 29 + i * 44, text) for i, text in enumerate(BUTTON_LABELS)])
    mark = Canvas(40, 40, KEY)
    mark.polygon([(20, 2), (25, 15), (38, 15), (27, 23), (31, 37), (20, 29), (9, 37), (13, 23),
                  (2, 15), (15, 15)], (255, 220, 60))
    mark.save_bmp(os.path.join(cg, "star.bmp"))

    # Scenes.
    day = sky((70, 130, 220), (210, 235, 255), sun=(520, 90, 34, (255, 250, 210)))
    clouds(day, (255, 255, 255), 1)
    hills(day, 380, (90, 150, 70), 80, 31, 0.0)
    hills(day, 430, (60, 120, 50), 55, 19, 2.0)
    day.save_bmp(os.path.join(cg, "hill.bmp"))

    sea = sky((120, 190, 250), (235, 246, 255))
    clouds(sea, (250, 250, 255), 2)
    sea.vgradient((40, 110, 180), (20, 60, 120), 260, 400)
    sea.rect(0, 260, W, 6, (200, 230, 255))
    sea.polygon([(0, 480), (0, 400), (640, 440), (640, 480)], (240, 220, 170))
    sea.save_bmp(os.path.join(cg, "sea.bmp"))

    night = sky((5, 10, 40), (40, 50, 100), sun=(120, 90, 26, (250, 250, 220)), stars=True)
    hills(night, 400, (15, 20, 40), 70, 29, 1.0)
    night.save_png(os.path.join(cg, "night.png"))

    dusk = sky((60, 40, 90), (250, 170, 110), sun=(320, 300, 50, (255, 200, 120)))
    dusk.vgradient((120, 80, 110), (50, 30, 60), 300, 480)
    dusk.rect(0, 300, W, 3, (255, 210, 160))
    dusk.save_png(os.path.join(cg, "dusk.png"))

    # The message window's frame: a dark panel with a light border (shown half transparent).
    frame = Canvas(600, 124, (40, 30, 60))
    for i, colour in enumerate(((230, 210, 170), (120, 90, 60), (230, 210, 170))):
        frame.rect(i, i, 600 - 2 * i, 1, colour)
        frame.rect(i, 123 - i, 600 - 2 * i, 1, colour)
        frame.rect(i, i, 1, 124 - 2 * i, colour)
        frame.rect(599 - i, i, 1, 124 - 2 * i, colour)
    frame.save_bmp(os.path.join(cg, "frame.bmp"))

    for name, body, hair, ribbon in (("mio", (200, 80, 90), (60, 40, 30), (250, 220, 90)),
                                     ("sora", (60, 90, 160), (30, 30, 40), None)):
        figure, mask = silhouette(body, hair, (245, 215, 190), ribbon)
        figure.save_bmp(os.path.join(cg, name + ".bmp"))
        mask.save_bmp(os.path.join(cg, name + "_shade.bmp"))


RATE = 22050


def save_wav(path, samples):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", max(-32767, min(32767, int(s * 32767))))
                               for s in samples))


def tone(freq, seconds, volume=0.3, decay=4.0):
    n = int(RATE * seconds)
    return [volume * math.exp(-decay * i / RATE) * math.sin(2 * math.pi * freq * i / RATE)
            for i in range(n)]


def noise(seconds, seed=1):
    """A soft wash of noise that swells and falls, like a wave on the shore."""
    state, last, out = seed, 0.0, []
    n = int(RATE * seconds)
    for i in range(n):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        last = 0.97 * last + 0.03 * (state / 0x3FFFFFFF - 1.0)
        out.append(2.5 * last * math.sin(math.pi * i / n))
    return out


# The tune: (MIDI note, beats) pairs, 120 beats a minute.
TUNE = [(72, 1), (74, 1), (76, 2), (79, 1), (76, 1), (74, 2), (72, 1), (69, 1), (72, 2), (67, 4)]
BEAT = 0.5


def melody():
    out = []
    for note, beats in TUNE:
        f = 440 * 2 ** ((note - 69) / 12)
        part = tone(f, beats * BEAT, 0.22, 3.0)
        bass = tone(f / 4, beats * BEAT, 0.12, 1.5)
        out += [a + b for a, b in zip(part, bass)]
    return out


def voice(pitches):
    """A voice-like line: vowels made of a buzzing pitch and two formant-like partials."""
    out = []
    for p in pitches:
        n = int(RATE * 0.16)
        for i in range(n):
            env = math.sin(math.pi * i / n)
            t = i / RATE
            out.append(0.25 * env * (math.sin(2 * math.pi * p * t) + 0.5 * math.sin(2 * math.pi * 700 * t) *
                                     math.sin(2 * math.pi * p * t) + 0.3 * math.sin(2 * math.pi * 1200 * t) *
                                     math.sin(2 * math.pi * p * t)))
    return out


def midi(path):
    track = bytearray(b"\x00\xff\x51\x03" + (500000).to_bytes(3, "big"))  # 120 beats a minute
    track += b"\x00\xc0\x49"  # program: flute
    for note, beats in TUNE:
        track += bytes([0x00, 0x90, note, 90])
        ticks = beats * 480
        track += vlq(ticks) + bytes([0x80, note, 0])
    track += b"\x00\xff\x2f\x00"
    write(path, b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480) + b"MTrk" +
          struct.pack(">I", len(track)) + track)


def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


def sounds(game):
    save_wav(os.path.join(game, "se", "bell.wav"), tone(1320, 0.8, 0.4, 5.0))
    save_wav(os.path.join(game, "se", "wave.wav"), noise(1.6))
    save_wav(os.path.join(game, "voice", "mio_ja.wav"), voice([330, 370, 300, 350, 280]))
    save_wav(os.path.join(game, "voice", "mio_en.wav"), voice([310, 360, 330, 290]))
    save_wav(os.path.join(game, "cd", "track02.wav"), melody())
    midi(os.path.join(game, "bgm", "theme.mid"))


def movie(game):
    """Lanterns rising into a night sky: 20 frames of 160 x 120 at 10 frames a second."""
    frames = bytearray()
    for f in range(20):
        c = Canvas(160, 120)
        c.vgradient((10, 15, 50), (60, 40, 90))
        for k in range(6):
            x = 15 + k * 26
            y = 110 - ((f * 4 + k * 17) % 120)
            c.ellipse(x, y, 5, 7, (255, 190 - k * 10, 90))
        frames += b"".join(bytes(row) for row in c.rows)
    out = os.path.join(game, "movie", "lanterns.avi")
    os.makedirs(os.path.dirname(out), exist_ok=True)
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-f", "rawvideo", "-pix_fmt", "rgb24",
                    "-s", "160x120", "-r", "10", "-i", "-", "-c:v", "msvideo1", "-pix_fmt",
                    "rgb555le", "-fflags", "+bitexact", "-flags", "+bitexact", out],
                   input=bytes(frames), check=True)


def main():
    if len(sys.argv) != 2:
        print("usage: make_demo_assets.py GAME_DIR", file=sys.stderr)
        return 2
    game = sys.argv[1]
    pictures(game)
    sounds(game)
    movie(game)
    return 0


if __name__ == "__main__":
    sys.exit(main())
