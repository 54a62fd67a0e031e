#!/usr/bin/env python3
"""Composes and renders the ten built-in prefix jingles (resources/jingles/1.mp3 .. 10.mp3).

Each jingle is a short original piece for a few synthesised voices (melody, chords, bass and,
for the lively ones, light percussion) with ADSR envelopes and a small room reverb, rendered at
11025 Hz mono with the standard library only, then encoded by the `lame` command line tool as
MPEG-2.5 Layer III, 16 kbit/s CBR, without a Xing/Info frame, and given a short ID3v2.4 tag.

Usage: python3 resources/tools/make_jingles.py [output-folder]
The output is deterministic for a given LAME version.
"""

import math
import os
import random
import re
import struct
import subprocess
import sys
import tempfile
import wave

SR = 11025
PARTIAL_LIMIT_HZ = 4000.0  # keep every partial well below the Nyquist frequency (5512 Hz)

# --------------------------------------------------------------------------- notes and scores

NOTE_OFFSETS = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def midi(name):
    m = re.fullmatch(r"([A-G])([#b]?)(-?\d)", name)
    if not m:
        raise ValueError("bad note " + name)
    value = NOTE_OFFSETS[m.group(1)] + 12 * (int(m.group(3)) + 1)
    value += {"#": 1, "b": -1, "": 0}[m.group(2)]
    return value


def hz(midi_note):
    return 440.0 * 2.0 ** ((midi_note - 69) / 12.0)


def line(text, start=0.0):
    """'E5:0.5 r:1 C4+E4+G4:2' -> [(start_beat, beats, [midi...])], one event after the other."""
    events = []
    beat = start
    for token in text.split():
        notes, beats = token.split(":")
        beats = float(beats)
        if notes != "r":
            events.append((beat, beats, [midi(n) for n in notes.split("+")]))
        beat += beats
    return events


def chords(text, start=0.0):
    """'C:2 Am:2 F:1 G7:1' -> chord events voiced around middle C."""
    qualities = {"": [0, 4, 7], "m": [0, 3, 7], "7": [0, 4, 7, 10], "maj7": [0, 4, 7, 11],
                 "m7": [0, 3, 7, 10], "add9": [0, 4, 7, 14], "maj9": [0, 4, 7, 11, 14],
                 "sus4": [0, 5, 7], "6": [0, 4, 7, 9]}
    events = []
    beat = start
    for token in text.split():
        name, beats = token.split(":")
        beats = float(beats)
        m = re.fullmatch(r"([A-G][#b]?)(.*)", name)
        root = midi(m.group(1) + "3")
        while root < 53:  # keep the chords between F3 and E4 at the root
            root += 12
        while root > 64:
            root -= 12
        events.append((beat, beats, [root + i for i in qualities[m.group(2)]]))
        beat += beats
    return events


# --------------------------------------------------------------------------- envelopes and voices


def adsr(n_held, attack, decay, sustain, release):
    """Envelope for a note held n_held samples, followed by its release."""
    a, d, r = (max(1, int(x * SR)) for x in (attack, decay, release))
    env = []
    level = 0.0
    for i in range(n_held):
        if i < a:
            level = i / a
        elif i < a + d:
            level = 1.0 - (1.0 - sustain) * (i - a) / d
        else:
            level = sustain
        env.append(level)
    for i in range(r):
        env.append(level * (1.0 - i / r))
    return env


def additive(freq, seconds, partials, env, vibrato=(0.0, 0.0, 0.0)):
    """partials: (ratio, amplitude, decay per second); vibrato: (rate Hz, depth ratio, delay s)."""
    n = len(env)
    out = [0.0] * n
    rate, depth, delay = vibrato
    for ratio, amp, decay in partials:
        f = freq * ratio
        if f >= PARTIAL_LIMIT_HZ:
            continue
        phase = random.random() * 0.2
        step = 2.0 * math.pi * f / SR
        damp = math.exp(-decay / SR)
        gain = amp
        for i in range(n):
            if depth:
                t = i / SR
                ramp = min(1.0, max(0.0, (t - delay) / 0.2))
                phase += step * (1.0 + depth * ramp * math.sin(2.0 * math.pi * rate * t))
            else:
                phase += step
            out[i] += gain * math.sin(phase)
            gain *= damp
    for i in range(n):
        out[i] *= env[i]
    return out


def piano(freq, seconds, vel):
    env = adsr(int(seconds * SR), 0.004, 0.05, 0.9, 0.25)
    partials = [(k * math.sqrt(1 + 0.0004 * k * k), 1.0 / k ** 1.3, 1.0 + 0.9 * k) for k in range(1, 9)]
    return [vel * x for x in additive(freq, seconds, partials, env)]


def epiano(freq, seconds, vel):
    env = adsr(int(seconds * SR), 0.003, 0.1, 0.85, 0.3)
    partials = [(1, 1.0, 1.2), (2, 0.25, 3.0), (3, 0.08, 6.0), (7.0, 0.05, 14.0)]
    return [vel * x for x in additive(freq, seconds, partials, env)]


def pluck(freq, seconds, vel):
    env = adsr(int(seconds * SR), 0.002, 0.02, 1.0, 0.15)
    partials = [(k, 0.9 / k, 2.0 + 2.5 * k) for k in range(1, 10)]
    return [vel * x for x in additive(freq, seconds, partials, env)]


def marimba(freq, seconds, vel):
    env = adsr(int(max(seconds, 0.45) * SR), 0.002, 0.02, 1.0, 0.1)
    partials = [(1, 1.0, 4.0), (3.93, 0.35, 14.0), (9.2, 0.08, 30.0)]
    return [vel * x for x in additive(freq, seconds, partials, env)]


def glock(freq, seconds, vel):
    env = adsr(int(max(seconds, 0.6) * SR), 0.001, 0.02, 1.0, 0.3)
    partials = [(1, 1.0, 2.2), (2.76, 0.3, 7.0), (5.40, 0.12, 14.0)]
    return [vel * x for x in additive(freq, seconds, partials, env)]


def bell(freq, seconds, vel):
    env = adsr(int(max(seconds, 0.8) * SR), 0.002, 0.05, 1.0, 0.6)
    partials = [(0.5, 0.25, 1.0), (1, 1.0, 1.4), (2.0, 0.35, 2.5), (2.76, 0.3, 4.0), (4.07, 0.12, 7.0)]
    return [vel * x for x in additive(freq, seconds, partials, env)]


def flute(freq, seconds, vel):
    env = adsr(int(seconds * SR), 0.07, 0.1, 0.85, 0.15)
    partials = [(1, 1.0, 0.0), (2, 0.22, 0.0), (3, 0.08, 0.0)]
    tone = additive(freq, seconds, partials, env, vibrato=(5.2, 0.004, 0.18))
    rng = random.Random(int(freq * 10))
    breath = 0.0
    for i in range(min(len(tone), int(0.08 * SR))):
        breath = 0.6 * breath + 0.4 * (rng.random() - 0.5)
        tone[i] += 0.25 * breath * (1.0 - i / (0.08 * SR))
    return [vel * x for x in tone]


def lead(freq, seconds, vel, odd_only=True):
    env = adsr(int(seconds * SR), 0.008, 0.12, 0.7, 0.08)
    ks = range(1, 12, 2) if odd_only else range(1, 9)
    partials = [(k, 0.8 / k, 0.5 * k) for k in ks]
    return [vel * x for x in additive(freq, seconds, partials, env, vibrato=(5.5, 0.003, 0.2))]


def saw_lead(freq, seconds, vel):
    return lead(freq, seconds, vel, odd_only=False)


def pad(freq, seconds, vel):
    env = adsr(int(seconds * SR), 0.35, 0.3, 0.8, 0.6)
    out = None
    for detune in (0.9965, 1.0035):
        partials = [(k * detune, 1.0 / k ** 1.6, 0.0) for k in range(1, 6)]
        voice = additive(freq, seconds, partials, env)
        out = voice if out is None else [a + b for a, b in zip(out, voice)]
    return [0.5 * vel * x for x in out]


def strings(freq, seconds, vel):
    env = adsr(int(seconds * SR), 0.25, 0.2, 0.9, 0.5)
    partials = [(k, 1.0 / k, 0.0) for k in range(1, 7)]
    return [vel * x for x in additive(freq, seconds, partials, env, vibrato=(4.8, 0.003, 0.1))]


def bass(freq, seconds, vel):
    env = adsr(int(seconds * SR), 0.006, 0.2, 0.6, 0.08)
    partials = [(1, 1.0, 1.0), (2, 0.35, 3.0), (3, 0.12, 6.0)]
    return [vel * x for x in additive(freq, seconds, partials, env)]


def kick(vel):
    n = int(0.18 * SR)
    out = []
    phase = 0.0
    for i in range(n):
        t = i / SR
        f = 45.0 + 75.0 * math.exp(-t * 30.0)
        phase += 2.0 * math.pi * f / SR
        out.append(vel * math.sin(phase) * math.exp(-t * 18.0))
    return out


def hat(vel, seed):
    rng = random.Random(seed)
    n = int(0.06 * SR)
    out = []
    prev = 0.0
    for i in range(n):
        x = rng.random() * 2.0 - 1.0
        out.append(vel * (x - prev) * 0.5 * math.exp(-i / SR * 70.0))
        prev = x
    return out


def snare(vel, seed):
    rng = random.Random(seed)
    n = int(0.14 * SR)
    out = []
    lp = 0.0
    phase = 0.0
    for i in range(n):
        t = i / SR
        lp = 0.55 * lp + 0.45 * (rng.random() * 2.0 - 1.0)
        phase += 2.0 * math.pi * 190.0 / SR
        out.append(vel * (0.7 * lp * math.exp(-t * 22.0) + 0.5 * math.sin(phase) * math.exp(-t * 35.0)))
    return out


# --------------------------------------------------------------------------- mixing


class Mix:
    def __init__(self, seconds, bpm):
        self.buf = [0.0] * int(seconds * SR)
        self.send = [0.0] * len(self.buf)
        self.beat = 60.0 / bpm

    def add(self, samples, at_seconds, gain, reverb):
        start = int(at_seconds * SR)
        buf, send = self.buf, self.send
        for i, x in enumerate(samples):
            j = start + i
            if j >= len(buf):
                break
            buf[j] += gain * x
            send[j] += reverb * gain * x

    def play(self, instrument, events, gain, reverb=0.2, vel=1.0, legato=1.0):
        for beat, beats, notes in events:
            for note in notes:
                self.add(instrument(hz(note), beats * self.beat * legato, vel), beat * self.beat, gain, reverb)

    def drums(self, pattern, beats_per_step, gain, reverb=0.05):
        """pattern: a string per step, 'k' kick, 's' snare, 'h' hat, '.' rest (combinations allowed)."""
        for step, hits in enumerate(pattern.split()):
            at = step * beats_per_step * self.beat
            if "k" in hits:
                self.add(kick(1.0), at, gain, reverb)
            if "s" in hits:
                self.add(snare(0.8, step), at, gain, reverb)
            if "h" in hits:
                self.add(hat(0.5, 1000 + step), at, gain, reverb)

    def render(self, wet):
        out = [d + wet * r for d, r in zip(self.buf, reverb(self.send))]
        peak = max(abs(x) for x in out) or 1.0
        out = [0.85 * x / peak for x in out]
        fade_in = int(0.005 * SR)
        fade_out = int(0.35 * SR)
        for i in range(fade_in):
            out[i] *= i / fade_in
        for i in range(fade_out):
            out[len(out) - 1 - i] *= i / fade_out
        return out


def reverb(signal):
    """A small Schroeder room: four parallel damped combs, then two allpasses."""
    combs = [(307, 0.80), (331, 0.79), (353, 0.78), (379, 0.77)]
    total = [0.0] * len(signal)
    for delay, feedback in combs:
        line_buf = [0.0] * delay
        lp = 0.0
        pos = 0
        for i, x in enumerate(signal):
            y = line_buf[pos]
            lp = 0.7 * y + 0.3 * lp
            line_buf[pos] = x + feedback * lp
            pos = (pos + 1) % delay
            total[i] += 0.25 * y
    for delay, g in ((139, 0.5), (47, 0.5)):
        line_buf = [0.0] * delay
        pos = 0
        out = []
        for x in total:
            buffered = line_buf[pos]
            y = -g * x + buffered
            line_buf[pos] = x + g * y
            pos = (pos + 1) % delay
            out.append(y)
        total = out
    return total


# --------------------------------------------------------------------------- the ten pieces


def pretty_boy():
    """A sweet, light pop phrase on piano over a soft pad (C major)."""
    m = Mix(4.9, 116)
    m.play(piano, line("E5:0.5 G5:0.5 C6:1 B5:0.5 G5:0.5 A5:1 G5:0.5 E5:0.5 F5:0.5 D5:0.5 C5:1.5"), 0.55, 0.25)
    m.play(pad, chords("C:2 Am7:2 F:1 G:1 C:1.5"), 0.16, 0.3)
    m.play(bass, line("C3:1 G2:1 A2:1 E2:1 F2:1 G2:1 C3:1.5"), 0.4, 0.1)
    return m.render(0.35)


def lyrical():
    """A slow, singing flute line over strings (A minor to C major)."""
    m = Mix(5.3, 80)
    m.play(flute, line("A4:1 C5:0.5 E5:0.5 D5:1 C5:0.5 B4:0.5 C5:1.8"), 0.5, 0.35)
    m.play(strings, chords("Am:2 Dm:1 G:1 C:2"), 0.12, 0.35)
    m.play(bass, line("A2:2 D3:1 G2:1 C3:2"), 0.35, 0.15)
    return m.render(0.45)


def dream():
    """Floating bell arpeggios with a long tail (D major)."""
    m = Mix(5.0, 96)
    m.play(bell, line("D5:0.5 F#5:0.5 A5:0.5 E6:0.5 C#6:0.5 A5:0.5 F#5:0.5 E5:0.5 "
                      "G4:0.5 B4:0.5 D5:0.5 F#5:0.5 A5:0.5 F#5:0.5 D5:0.5 B4:0.5 D5+A5+D6:2"), 0.32, 0.5)
    m.play(pad, chords("Dmaj7:2 Gmaj7:2 D:2.5"), 0.14, 0.5)
    m.play(bass, line("D2:2 G2:2 D2:2.5"), 0.3, 0.2)
    return m.render(0.7)


def found_it():
    """A bright, bouncing synth hook with a beat (G major)."""
    m = Mix(4.4, 128)
    m.play(lead, line("D5:0.5 G5:0.5 A5:0.5 B5:0.5 D6:0.75 B5:0.25 A5:0.5 G5:0.5 "
                      "E5:0.5 G5:0.5 A5:0.5 B5:0.5 A5:0.5 F#5:0.5 G5:1"), 0.4, 0.2, legato=0.9)
    m.play(epiano, chords("G:2 Em:2 C:2 D:1 G:1"), 0.14, 0.2)
    m.play(bass, line("G2:0.5 G2:0.5 G2:0.5 G2:0.5 E2:0.5 E2:0.5 E2:0.5 E2:0.5 "
                      "C3:0.5 C3:0.5 C3:0.5 C3:0.5 D3:0.5 D3:0.5 G2:1"), 0.35, 0.05, legato=0.8)
    m.drums("kh h ksh h kh h ksh h kh h ksh h kh h k .", 0.5, 0.45)
    return m.render(0.25)


def yesterday():
    """A wistful whistle over a gently picked guitar (F major)."""
    m = Mix(5.2, 84)
    m.play(flute, line("C5:1 A4:0.5 Bb4:0.5 C5:0.5 D5:0.5 C5:1 A4:1.8"), 0.42, 0.3)
    m.play(pluck, line("F3:0.5 C4:0.5 A4:0.5 C4:0.5 Bb2:0.5 F3:0.5 D4:0.5 F3:0.5 "
                       "C3:0.5 G3:0.5 E4:0.5 G3:0.5 F3:0.5 C4:0.5 A4:1"), 0.3, 0.2, legato=1.6)
    m.play(bass, line("F2:2 Bb1:1 C2:1 F2:2"), 0.3, 0.1)
    return m.render(0.35)


def crazy():
    """A driving minor riff with a saw lead, pumping bass and drums (D minor)."""
    m = Mix(4.3, 132)
    m.play(saw_lead, line("D5:0.5 F5:0.5 A5:0.5 F5:0.25 A5:0.25 C6:0.5 A5:0.5 G5:1 "
                          "F5:0.5 G5:0.5 A5:0.5 Bb5:0.5 A5:0.5 E5:0.5 D5:1"), 0.34, 0.15, legato=0.85)
    m.play(pad, chords("Dm:2 C:2 Bb:2 A:1 Dm:1"), 0.12, 0.2)
    m.play(bass, line("D2:0.5 D3:0.5 D2:0.5 D3:0.5 C2:0.5 C3:0.5 C2:0.5 C3:0.5 "
                      "Bb1:0.5 Bb2:0.5 Bb1:0.5 Bb2:0.5 A1:0.5 A2:0.5 D2:1"), 0.38, 0.05, legato=0.7)
    m.drums("kh h sh h kh kh sh h kh h sh h kh h ks .", 0.5, 0.5)
    return m.render(0.2)


def warm():
    """A warm marimba tune over a soft pad (A major)."""
    m = Mix(5.0, 108)
    m.play(marimba, line("E5:0.5 A5:0.5 C#6:0.5 B5:0.5 A5:0.5 E5:0.5 F#5:1 "
                         "D5:0.5 F#5:0.5 B5:0.5 G#5:0.5 A5:1.5"), 0.5, 0.3)
    m.play(pad, chords("A:2 F#m:2 D:1 E:1 A:1.5"), 0.15, 0.35)
    m.play(bass, line("A2:1 E2:1 F#2:1 C#3:1 D2:1 E2:1 A2:1.5"), 0.35, 0.1)
    return m.render(0.4)


def heartfelt():
    """A tender piano ballad phrase with a rolling left hand (E minor)."""
    m = Mix(5.3, 72)
    m.play(piano, line("B4:0.5 E5:0.5 F#5:0.5 G5:1 F#5:0.5 E5:0.5 D5:0.5 E5:1.6"), 0.55, 0.35)
    m.play(piano, line("E3:0.25 B3:0.25 G4:0.5 C3:0.25 G3:0.25 E4:0.25 G3:0.25 "
                       "D3:0.25 A3:0.25 F#4:0.5 E3:0.25 B3:0.25 G4:1"), 0.3, 0.3, legato=1.8)
    m.play(strings, chords("Em:1.5 C:1.5 D:1 Em:1.6"), 0.08, 0.4)
    return m.render(0.45)


def lively():
    """A quick, bouncy square-wave tune with a busy beat (C major)."""
    m = Mix(3.9, 140)
    m.play(lead, line("C5:0.25 E5:0.25 G5:0.5 E5:0.25 G5:0.25 C6:0.5 A5:0.5 G5:0.5 F5:0.5 E5:0.5 "
                      "D5:0.25 E5:0.25 F5:0.5 A5:0.5 G5:0.5 C6:0.5 G5:0.25 E5:0.25 C5:1"), 0.36, 0.12,
           legato=0.75)
    m.play(marimba, chords("C:1 C:1 F:1 F:1 G:1 G:1 C:1"), 0.16, 0.15, legato=0.5)
    m.play(bass, line("C3:0.5 C2:0.5 C3:0.5 C2:0.5 F2:0.5 F3:0.5 F2:0.5 F3:0.5 "
                      "G2:0.5 G3:0.5 G2:0.5 G3:0.5 C3:1"), 0.35, 0.05, legato=0.7)
    m.drums("kh h sh h kh kh sh h kh h sh hh kh h ks", 0.5, 0.5)
    return m.render(0.2)


def cute():
    """A music-box tune with pizzicato bass (G major)."""
    m = Mix(4.4, 116)
    m.play(glock, line("G5:0.5 B5:0.5 D6:0.5 B5:0.5 C6:0.5 A5:0.5 F#5:1 "
                       "G5:0.5 A5:0.25 B5:0.25 A5:0.5 F#5:0.5 G5:1.5"), 0.45, 0.3)
    m.play(pluck, line("G2:1 D3:1 A2:1 D3:1 G2:1 D3:1 G2:1.5"), 0.35, 0.15, legato=0.5)
    m.play(epiano, chords("G:2 D7:2 G:1 D:1 G:1.5"), 0.1, 0.25)
    return m.render(0.35)


PIECES = [
    ("1", "声笺前缀音频 1 Pretty Boy", pretty_boy),
    ("2", "声笺前缀音频 2 抒情旋律", lyrical),
    ("3", "声笺前缀音频 3 Dream", dream),
    ("4", "声笺前缀音频 4 找到了", found_it),
    ("5", "声笺前缀音频 5 YesterDay", yesterday),
    ("6", "声笺前缀音频 6 我想我是疯了", crazy),
    ("7", "声笺前缀音频 7 温馨", warm),
    ("8", "声笺前缀音频 8 因为是女子", heartfelt),
    ("9", "声笺前缀音频 9 动感活泼", lively),
    ("10", "声笺前缀音频 10 可爱旋律", cute),
]

# --------------------------------------------------------------------------- encoding and tagging


def synchsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def id3v24(title, artist):
    frames = b""
    for frame_id, text in (("TIT2", title), ("TPE1", artist)):
        body = b"\x03" + text.encode("utf-8")  # encoding 3 = UTF-8
        frames += frame_id.encode("ascii") + synchsafe(len(body)) + b"\x00\x00" + body
    return b"ID3\x04\x00\x00" + synchsafe(len(frames)) + frames


def encode(samples, title, path):
    pcm = b"".join(struct.pack("<h", max(-32767, min(32767, int(round(x * 32767))))) for x in samples)
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "in.wav")
        mp3 = os.path.join(tmp, "out.mp3")
        with wave.open(wav, "wb") as f:
            f.setnchannels(1)
            f.setsampwidth(2)
            f.setframerate(SR)
            f.writeframes(pcm)
        subprocess.run(["lame", "--silent", "-m", "m", "--cbr", "-b", "16", "--resample", "11.025",
                        "--lowpass", "4.2", "-t", "-q", "0", "--noreplaygain", wav, mp3], check=True)
        with open(mp3, "rb") as f:
            audio = f.read()
    if audio[:3] == b"ID3" or audio[:2] != b"\xff\xe3":
        raise RuntimeError("unexpected LAME output for " + path)
    with open(path, "wb") as f:
        f.write(id3v24(title, "Vela系列软件") + audio)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.normpath(os.path.join(here, "..", "jingles"))
    os.makedirs(out_dir, exist_ok=True)
    for number, title, piece in PIECES:
        random.seed(int(number))
        samples = piece()
        path = os.path.join(out_dir, number + ".mp3")
        encode(samples, title, path)
        print("%s: %.2f s of music, %d bytes" % (path, len(samples) / SR, os.path.getsize(path)))


if __name__ == "__main__":
    main()
