#!/usr/bin/python3
"""The skeleton grammar and the sentence sets of bench/nltk_compare.sh.

    skeleton_grammar.py EXAMPLES_DIR OUT_DIR

The skeleton grammar is the example grammar (EXAMPLES_DIR/regeln.txt,
lexikon.txt, endungen.txt) without value sets and conditions: every rule
keeps only the main categories of its parts, every lexicon line only its
word and main category, so that Mirask and NLTK's chart parser do the same
work. It is written twice:

- for Mirask: skeleton/regeln.txt ("NPHR + NKON = NPHR;."), lexikon.txt
  ("DER=DETA") and endungen.txt (the example's endings, in their order);
- for NLTK: skeleton/grammar.cfg ("%start SATZ", "NPHR -> DETA NOMN",
  "NPHR -> NOMN", "DETA -> 'DER'").

Rules and lexicon lines that become equal once stripped (VERB + NPHR = VPHR
stands for an accusative, a dative and a nominative object; DER=DETA for
three sets of values) are kept once: a chart keeps one edge for them anyway,
while Mirask would make one node per copy.

Equivalence with Mirask's reading of the files:
- a rule is tried only from its first part's initial within the run of rules
  of that initial (the file is sorted by initial): the script stops when the
  rules are not sorted so;
- a category is identified by its first four characters: all categories of
  the example have exactly four;
- the start category is SATZ (a category whose name begins with SATZ).

Tokens: Mirask reads the sentences as they are and splits a word that the
lexicon lacks into stem and ending itself (shortest ending first, stem of at
least three letters, both in the lexicon); the NLTK token lists mirror that
split ("BELLT" becomes "BELL T"), and a number becomes "NULL", whose entry
Mirask gives every number. The benchmark prints the tokens Mirask used, and
nltk_report.py checks that they are the same.

Sentence sets, in OUT_DIR/sets/: for each set NAME, NAME.txt (the sentences,
for Mirask) and NAME.tokens (tab-separated: family, tokens; for NLTK):
- example: lines 1-23 and 41-45 of saetze.txt (grammatical in the example
  grammar; 41-45 the ambiguous ones);
- long: four families growing step by step to about 40 word positions:
  "ER SIEHT DEN MANN" + k PPs; NP coordination with UND; VP coordination with
  UND; PPs and NP coordination in turn after "DER MANN SIEHT DIE FRAU";
- ambiguous: X repeated 10, 20, 30 and 40 times, for the grammar
  XXXX + XXXX = XXXX (Mirask, start category XXXX) and X -> X X | 'X' (NLTK),
  written to OUT_DIR/ambiguous/.
"""
import os
import sys

EXAMPLE_LINES = list(range(1, 24)) + list(range(41, 46))
WORD_DELIMITERS = " ,;"
SENTENCE_DELIMITERS = ".!?"
MIN_STEM = 3
LONG_LIMIT = 40  # word positions

PHRASES = ["IM PARK", "MIT DEM FERNGLAS", "IN DER STADT", "NEBEN DEM HAUS", "IM GARTEN",
           "AUF DEM TISCH", "VOR DEM HAUS", "MIT DEM HUND", "AUS DER STADT"]
NOUN_PHRASES = ["DER HUND", "DIE KATZE", "DAS KIND", "DER MANN", "DIE FRAU", "DIE MAUS",
                "DER LEHRER", "DER VATER", "DIE MUTTER", "DIE SCHWESTER", "DER BRUDER",
                "DER NACHBAR", "DAS M[DCHEN"]
VERBS = ["BELLT", "SPRINGT", "LACHT", "SPIELT", "KOMMT", "WOHNT", "GEHT", "SINGT", "KOCHT",
         "TRINKT", "KAUFT", "HOLT", "SUCHT", "SCHREIBT"]
OBJECTS = ["DEN HUND", "DAS KIND", "DIE KATZE", "DEN VATER", "DIE MUTTER", "DEN LEHRER",
           "DAS M[DCHEN"]
AMBIGUOUS_SIZES = [10, 20, 30, 40]


def upcase(text):
    """Mirask's upper-casing: a-z and the 7-bit umlauts { | } ~."""
    table = {c: c - 32 for c in range(ord("a"), ord("z") + 1)}
    table.update({c: c - 32 for c in range(0x7B, 0x7F)})
    return text.translate(table)


def strip_comments(text):
    return "\n".join(line.split("$", 1)[0] for line in text.split("\n"))


def read_rules(path):
    """(first, second or None, result) per rule, in file order."""
    with open(path, encoding="latin-1") as f:
        text = strip_comments(f.read())
    rules = []
    for rule_text in text.split(".")[:-1]:
        body = "".join(rule_text.split()).split(":", 1)[0]
        head, _condition = body.split(";", 1)
        if "+" in head:
            first, rest = head.split("+", 1)
            second, result = rest.split("=", 1)
            rules.append((first[:4], second[:4], result[:4]))
        else:
            first, result = head.split("=", 1)
            rules.append((first[:4], None, result[:4]))
    return rules


def read_dict(path):
    """(word, category) per line, in file order."""
    entries = []
    with open(path, encoding="latin-1") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if line.startswith("$") or "=" not in line:
                continue
            word, rest = line.split("=", 1)
            entries.append((upcase(word), rest.split(":", 1)[0][:4]))
    return entries


def unique(items):
    seen = set()
    return [x for x in items if not (x in seen or seen.add(x))]


def check_sorted_by_initial(rules):
    initials = [first[0] for first, _, _ in rules]
    if initials != sorted(initials):
        sys.exit("skeleton_grammar.py: the rules are not sorted by initial; "
                 "Mirask would not try some of them")


def write_mirask(directory, rules, lexicon, endings):
    with open(os.path.join(directory, "regeln.txt"), "w", encoding="latin-1") as f:
        for first, second, result in rules:
            f.write(f"{first} + {second} = {result};.\n" if second else
                    f"{first} = {result};.\n")
    with open(os.path.join(directory, "lexikon.txt"), "w", encoding="latin-1") as f:
        f.writelines(f"{w}={c}\n" for w, c in lexicon)
    with open(os.path.join(directory, "endungen.txt"), "w", encoding="latin-1") as f:
        f.writelines(f"{w}={c}\n" for w, c in endings)


def write_cfg(path, start, rules, lexicon):
    with open(path, "w", encoding="latin-1") as f:
        f.write(f"%start {start}\n")
        for first, second, result in rules:
            f.write(f"{result} -> {first} {second}\n" if second else f"{result} -> {first}\n")
        f.writelines(f"{c} -> '{w}'\n" for w, c in lexicon)


class tokenizer:
    """Mirask's lexical analysis, as far as it decides the tokens."""

    def __init__(self, lexicon, endings):
        self.words = {w for w, _ in lexicon}
        self.endings = [w for w, _ in endings]

    def word_tokens(self, word):
        if word[0].isdigit():
            return ["NULL"]
        if word in self.words:
            return [word]
        for length in range(1, len(word) - MIN_STEM + 1):
            stem, ending = word[:-length], word[-length:]
            if ending in self.endings and stem in self.words and ending in self.words:
                return [stem, ending]
        return None

    def tokens(self, sentence):
        text = upcase(sentence)
        for i, c in enumerate(text):
            if c in SENTENCE_DELIMITERS or ord(c) < 32:
                text = text[:i]
                break
        tokens = []
        for word in "".join(" " if c in WORD_DELIMITERS else c for c in text).split():
            split = self.word_tokens(word)
            if split is None:
                return None
            tokens += split
        return tokens


def grow(start, additions, words, limit=LONG_LIMIT):
    """The sentences start, start + additions[0], ... up to `limit` positions."""
    sentences = []
    sentence = start
    for addition in additions:
        candidate = sentence + " " + addition
        if len(words(candidate)) > limit:
            break
        sentence = candidate
        sentences.append(sentence)
    return sentences


def long_families(words):
    pp_chain = grow("ER SIEHT DEN MANN", PHRASES * 3, words)
    np_coordination = [s + " SCHLAFEN" for s in
                       grow(NOUN_PHRASES[0], ["UND " + np for np in NOUN_PHRASES[1:]],
                            lambda s: words(s + " SCHLAFEN"))]
    vp_coordination = grow("DER HUND " + VERBS[0], ["UND " + v for v in VERBS[1:]], words)
    mixed_additions = []
    for i in range(len(OBJECTS)):
        mixed_additions += [PHRASES[i % len(PHRASES)], "UND " + OBJECTS[i]]
    mixed = grow("DER MANN SIEHT DIE FRAU", mixed_additions, words)
    return [("pp-chain", pp_chain), ("np-coordination", np_coordination),
            ("vp-coordination", vp_coordination), ("pp-and-coordination", mixed)]


def write_set(directory, name, families, words):
    with open(os.path.join(directory, name + ".txt"), "w", encoding="latin-1") as text, \
         open(os.path.join(directory, name + ".tokens"), "w", encoding="latin-1") as tokens:
        for family, sentences in families:
            for sentence in sentences:
                text.write(sentence + "\n")
                tokens.write(family + "\t" + " ".join(words(sentence)) + "\n")


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: skeleton_grammar.py EXAMPLES_DIR OUT_DIR")
    examples, out = sys.argv[1], sys.argv[2]
    skeleton, sets, ambiguous = (os.path.join(out, d) for d in ("skeleton", "sets", "ambiguous"))
    for d in (skeleton, sets, ambiguous):
        os.makedirs(d, exist_ok=True)

    rules = unique(read_rules(os.path.join(examples, "regeln.txt")))
    check_sorted_by_initial(rules)
    lexicon = unique(read_dict(os.path.join(examples, "lexikon.txt")))
    endings = unique(read_dict(os.path.join(examples, "endungen.txt")))
    write_mirask(skeleton, rules, lexicon, endings)
    write_cfg(os.path.join(skeleton, "grammar.cfg"), "SATZ", rules, lexicon)

    t = tokenizer(lexicon, endings)

    def words(sentence):
        tokens = t.tokens(sentence)
        if tokens is None:
            sys.exit(f"skeleton_grammar.py: a word of '{sentence}' is not in the lexicon")
        return tokens

    with open(os.path.join(examples, "saetze.txt"), encoding="latin-1") as f:
        lines = f.read().split("\n")
    example = [lines[n - 1] for n in EXAMPLE_LINES]
    write_set(sets, "example", [("example", example)], words)
    write_set(sets, "long", long_families(words), words)

    write_mirask(ambiguous, [("XXXX", "XXXX", "XXXX")], [("X", "XXXX")], [])
    with open(os.path.join(ambiguous, "grammar.cfg"), "w") as f:
        f.write("%start X\nX -> X X | 'X'\n")
    write_set(sets, "ambiguous", [("ambiguous", [" ".join(["X"] * n) for n in AMBIGUOUS_SIZES])],
              lambda s: s.split())
    print(f"skeleton: {len(rules)} rules, {len(lexicon)} lexicon lines, {len(endings)} endings")


if __name__ == "__main__":
    main()
