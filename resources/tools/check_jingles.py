#!/usr/bin/env python3
"""Checks the built-in jingles: what `file` says of each, size, duration, and that each one joined
by plain byte concatenation in front of another MP3 of the same parameters (with the jingle's tag
kept and with it stripped) decodes in mpg123 to exactly the sum of both lengths.

Usage: python3 resources/tools/check_jingles.py [jingle-folder]
Needs: file, mpg123, sox, lame. Exits non-zero when a check fails.
"""

import os
import subprocess
import sys
import tempfile
import wave

EXPECTED = "MPEG ADTS, layer III, v2.5, 16 kbps, 11.025 kHz, Monaural"


def decoded_samples(mp3, tmp):
    out = os.path.join(tmp, "decoded.wav")
    subprocess.run(["mpg123", "-q", "-w", out, mp3], check=True)
    with wave.open(out, "rb") as w:
        return w.getnframes()


def strip_id3v2(data):
    if data[:3] != b"ID3":
        return data
    size = (data[6] << 21) | (data[7] << 14) | (data[8] << 7) | data[9]
    footer = 10 if data[5] & 0x10 else 0
    return data[10 + size + footer:]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.normpath(os.path.join(here, "..", "jingles"))
    ok = True
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "voice.wav")
        other = os.path.join(tmp, "voice.mp3")
        subprocess.run(["sox", "-n", "-r", "11025", "-c", "1", "-b", "16", wav,
                        "synth", "2.5", "sine", "300-600", "vol", "0.5"], check=True)
        subprocess.run(["lame", "--silent", "-m", "m", "--cbr", "-b", "16", "--resample", "11.025", "-t",
                        wav, other], check=True)
        other_samples = decoded_samples(other, tmp)
        with open(other, "rb") as f:
            other_bytes = f.read()
        print("second file: %d samples (%.3f s)" % (other_samples, other_samples / 11025))
        for n in range(1, 11):
            path = os.path.join(folder, "%d.mp3" % n)
            described = subprocess.run(["file", "-b", path], capture_output=True, text=True).stdout
            described = " ".join(described.replace("\\012-", " ").split())
            size = os.path.getsize(path)
            samples = decoded_samples(path, tmp)
            with open(path, "rb") as f:
                data = f.read()
            joined = []
            for label, head in (("tagged", data), ("untagged", strip_id3v2(data))):
                cat = os.path.join(tmp, "joined.mp3")
                with open(cat, "wb") as f:
                    f.write(head + other_bytes)
                total = decoded_samples(cat, tmp)
                joined.append("%s %d%s" % (label, total, "" if total == samples + other_samples else " MISMATCH"))
                ok = ok and total == samples + other_samples
            good = EXPECTED in described and described.startswith("Audio file with ID3 version 2.4.0")
            good = good and size < 60 * 1024 and 2.0 <= samples / 11025 <= 6.0
            ok = ok and good
            print("%2d.mp3 %6d bytes %5d samples %.3f s | joined: %s = %d + %d | %s%s"
                  % (n, size, samples, samples / 11025, ", ".join(joined), samples, other_samples,
                     described, "" if good else "  <-- FAILED"))
    print("all checks passed" if ok else "SOME CHECKS FAILED")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
