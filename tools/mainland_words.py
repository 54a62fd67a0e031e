#!/usr/bin/env python3
"""Turns the word list of the npm package @pinyin-pro/data (json/modern.json: mainland standard
readings with word frequencies) into the tab-separated list the reading-table tool reads:
word, tone-numbered syllables, frequency. Run by hand when the list is updated:

    npm pack @pinyin-pro/data && tar xzf pinyin-pro-data-*.tgz
    tools/mainland_words.py package/json/modern.json > data/reading/mainland-words.tsv
"""
import json
import sys
import unicodedata

TONES = {"\u0304": 1, "\u0301": 2, "\u030c": 3, "\u0300": 4}


def numbered(syllable):
    """'lüè' -> 'lve4', 'de' -> 'de5'."""
    tone = 5
    letters = ""
    for ch in unicodedata.normalize("NFD", syllable.lower()):
        if ch in TONES:
            tone = TONES[ch]
        elif ch == "\u0308":
            letters = letters[:-1] + "v"
        else:
            letters += ch
    return letters.replace("ü", "v") + str(tone)


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        words = json.load(f)
    out = sys.stdout
    for word, (reading, frequency) in sorted(words.items()):
        syllables = reading.split()
        if len(syllables) != len(word) or not all(s.isalpha() for s in syllables):
            continue
        out.write(f"{word}\t{' '.join(numbered(s) for s in syllables)}\t{frequency:.4g}\n")


if __name__ == "__main__":
    main()
