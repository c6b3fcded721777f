#!/usr/bin/python3
"""Regenerates the keyword engine's word tables from word data in Debian packages.

The tables are written to KxWordTablesEnglish.cpp, KxWordTablesFrench.cpp and
KxFrenchVerbForms.cpp beside this folder, and those generated files are committed: building the
program needs none of the packages below. They are needed only to run this script again:

    apt-get install liblingua-stopwords-perl r-cran-tm wordnet-base hunspell-fr-classical \
        verbiste wamerican debian-handbook debian-reference-en debian-reference-fr maint-guide \
        maint-guide-fr developers-reference developers-reference-fr debian-faq debian-faq-fr \
        python3-doc manpages manpages-fr fortunes

How each table is made. Every table keeps the entries it had before (what pages were scanned
with), then grows from lists of known words and from word counts over large texts, until it
holds the number of distinct entries it is meant to have. Words are ranked by how evenly common
they are over several kinds of text (the geometric mean of their frequencies in each kind), so
that a word common in one manual only does not pass for a word common everywhere.

- English stop words: the stop lists of Lingua::StopWords and of R's tm package (its English
  and SMART lists), then the most common words that WordNet knows neither as a noun, a verb
  nor an adjective (function words and pure adverbs).
- English verbs: WordNet verbs used more often as verbs than as nouns and adjectives (by its
  sense-tagged counts), by rank; each with its third person and its irregular forms.
- English general words: WordNet nouns and adjectives not mostly used as verbs, by rank, each
  with its plural where the texts use it.
- French stop words: the stop lists of Lingua::StopWords and tm, the forms of the auxiliaries
  etre and avoir conjugated by verbiste's templates, then the most common grammatical words and
  adverbs of the French hunspell dictionary.
- French general words: nouns and adjectives of the French hunspell dictionary, by rank, each
  with the forms of it that the texts use.

- French verb forms: the forms of French verbs conjugated by verbiste's templates, the most
  common in the French texts first. The French stop words (as last generated) are left out:
  they count as French already. "make_word_tables.py french-verbs" makes this table alone, and
  needs only verbiste and the French texts.

Only words the engine can read (Latin-1, no capitals, no blanks) are taken. Each list is sorted
without regard to accents and bounded by its first and last entries, which are fixed.
"""

import collections
import glob
import gzip
import html
import math
import os
import re
import subprocess
import sys
import unicodedata
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
KEYWORDS = os.path.dirname(HERE)

SIZES = {
    "EnglishStopWords": 876,
    "EnglishGeneralWords": 646,
    "EnglishVerbs": 620,
    "FrenchStopWords": 674,
    "FrenchGeneralWords": 812,
    "FrenchVerbForms": 8245,
}
BOUNDS = {
    "EnglishStopWords": (["a", "about", "above"], ["zip", "zip/postal"]),
    "EnglishGeneralWords": (["abstract", "abstracts", "access"], ["workshop", "yellow", "young"]),
    "EnglishVerbs": (["accept", "accepts", "achieve"], ["write", "writes", "wrote"]),
    "FrenchStopWords": (["abord", "accueil", "acord"], ["with", "workshop", "y"]),
    "FrenchGeneralWords": (["absolu", "absolue", "absolues"], ["volumes", "vue", "web"]),
    "FrenchVerbForms": (["a", "abaisse", "abaissé"], ["voyons", "vu", "vus"]),
}

# ---- texts ----------------------------------------------------------------------------------


def html_text(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    text = re.sub(r"(?is)<(script|style)\b.*?</\1>", " ", text)
    text = re.sub(r"(?s)<[^>]*>", " ", text)
    return html.unescape(text)


def man_text(path):
    try:
        with gzip.open(path, "rt", encoding="utf-8", errors="replace") as f:
            lines = f.read().splitlines()
    except (OSError, EOFError):
        return ""
    out = []
    for line in lines:
        if line.startswith((".", "'")):
            # Macro lines: only the text of headings and tagged paragraphs is kept.
            m = re.match(r"\.(SH|SS|B|I|BR|IR|RB|RI|BI|IB)\s+(.*)", line)
            if not m:
                continue
            line = m.group(2)
        line = re.sub(r"\\f(\[[^]]*\]|\(..|.)", "", line)
        line = re.sub(r"\\\*(\[[^]]*\]|\(..|.)", " ", line)
        line = re.sub(r"\\(\(..|\[[^]]*\]|.)", " ", line)
        out.append(line)
    return "\n".join(out)


def fortune_text(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read().replace("\n%\n", "\n")


def files(patterns):
    found = []
    for p in patterns:
        found.extend(sorted(glob.glob(p, recursive=True)))
    return found


ENGLISH_KINDS = {
    "handbook": (html_text, ["/usr/share/doc/debian-handbook/html/en-US/*.html"]),
    "reference": (html_text, ["/usr/share/debian-reference/*.en.html",
                              "/usr/share/doc/maint-guide/html/*.en.html",
                              "/usr/share/developers-reference/*.html",
                              "/usr/share/doc/debian/FAQ/*.html"]),
    "python": (html_text, ["/usr/share/doc/python3/html/**/*.html"]),
    "manual": (man_text, ["/usr/share/man/man[1-8]/*.gz"]),
    "fortunes": (fortune_text, [p for p in glob.glob("/usr/share/games/fortunes/*")
                                if "." not in os.path.basename(p)]),
}
FRENCH_KINDS = {
    "handbook": (html_text, ["/usr/share/doc/debian-handbook/html/fr-FR/*.html"]),
    "reference": (html_text, ["/usr/share/debian-reference/*.fr.html"]),
    "guides": (html_text, ["/usr/share/doc/maint-guide-fr/html/*.fr.html",
                           "/usr/share/developers-reference/fr/*.html",
                           "/usr/share/doc/debian/FAQ/fr/*.html"]),
    "manual": (man_text, ["/usr/share/man/fr/man[1-8]/*.gz"]),
}

LETTERS = "a-zà-öø-ÿ"


def english_words(text):
    # The English filter deletes apostrophes, so "don't" is the word "dont".
    text = text.lower().replace("\u2019", "'")
    for w in re.findall(r"[a-z][a-z'/-]*[a-z]|[a-z]", text):
        yield w.replace("'", "")


def french_words(text):
    # The apostrophe separates French words: "l'école" is "l" and "école".
    text = unicodedata.normalize("NFC", text.lower())
    for w in re.findall(r"[%s][%s-]*[%s]|[%s]" % (LETTERS, LETTERS, LETTERS, LETTERS), text):
        yield w


# Words after which English puts a verb: "to", the modal verbs, a negation, a subject pronoun.
VERB_MARKERS = {"to", "will", "can", "cannot", "must", "should", "may", "might", "would", "could",
                "not", "dont", "doesnt", "didnt", "please", "you", "we", "they"}


def count(kinds, words_of, after_marker=None):
    """Word counts per kind of text; after_marker, when given, counts the words that follow one
    of the verb markers."""
    counts = {}
    for kind, (reader, patterns) in kinds.items():
        c = collections.Counter()
        paths = files(patterns)
        if not paths:
            sys.exit("no texts for %s: %s (install the packages named at the top)" % (kind, patterns))
        for path in paths:
            words = list(words_of(reader(path)))
            c.update(words)
            if after_marker is not None:
                after_marker.update(b for a, b in zip(words, words[1:]) if a in VERB_MARKERS)
        counts[kind] = c
        print("  %-10s %6d files %10d words" % (kind, len(paths), sum(c.values())), file=sys.stderr)
    return counts


def ranker(counts):
    totals = {k: sum(c.values()) for k, c in counts.items()}

    def score(word):
        # Half an occurrence stands in for none, so a word missing from one kind of text is
        # ranked low rather than thrown out.
        logs = [math.log((c.get(word, 0) + 0.5) / totals[k]) for k, c in counts.items()]
        return sum(logs) / len(logs)

    vocabulary = set()
    for c in counts.values():
        vocabulary.update(w for w, n in c.items() if n >= 3)
    return score, vocabulary


# ---- word data ------------------------------------------------------------------------------


def lingua(language):
    out = subprocess.run(
        ["perl", "-MLingua::StopWords=getStopWords", "-CS", "-e",
         'binmode STDOUT, ":utf8"; print join("\\n", sort keys %{getStopWords($ARGV[0], "UTF-8")})',
         language], check=True, capture_output=True, text=True).stdout
    return [w.strip() for w in out.split("\n") if w.strip()]


def tm_list(name):
    path = "/usr/lib/R/site-library/tm/stopwords/%s.dat" % name
    with open(path, encoding="utf-8") as f:
        return [w.strip() for w in f if w.strip()]


def wordnet():
    """Lemma to the sense-tagged counts of its noun, verb, adjective and adverb uses."""
    uses = collections.defaultdict(lambda: [0, 0, 0, 0])
    for i, pos in enumerate(["noun", "verb", "adj", "adv"]):
        with open("/usr/share/wordnet/index." + pos, encoding="latin-1") as f:
            for line in f:
                if line.startswith(" "):
                    continue
                fields = line.split()
                lemma = fields[0]
                pointers = int(fields[3])
                tagged = int(fields[5 + pointers])
                # One more than the tagged count: a lemma WordNet lists is known in that use.
                uses[lemma][i] += tagged + 1
    irregular = collections.defaultdict(list)
    with open("/usr/share/wordnet/verb.exc", encoding="latin-1") as f:
        for line in f:
            form, base = line.split()[:2]
            irregular[base].append(form)
    plurals = collections.defaultdict(list)
    with open("/usr/share/wordnet/noun.exc", encoding="latin-1") as f:
        for line in f:
            form, base = line.split()[:2]
            plurals[base].append(form)
    return uses, irregular, plurals


def hunspell_french():
    """Word to the set of its parts of speech in the French dictionary."""
    pos = collections.defaultdict(set)
    with open("/usr/share/hunspell/fr.dic", encoding="utf-8") as f:
        next(f)
        for line in f:
            fields = line.split()
            if not fields:
                continue
            word = fields[0].split("/")[0]
            for field in fields[1:]:
                if field.startswith("po:"):
                    pos[word].add(field[3:])
    return pos


def verbiste_infinitives():
    root = "/usr/share/verbiste-0.1/"
    return [v.findtext("i") for v in ET.parse(root + "verbs-fr.xml").getroot()]


def verbiste_forms(infinitives):
    root = "/usr/share/verbiste-0.1/"
    templates = {}
    for t in ET.parse(root + "conjugation-fr.xml").getroot():
        templates[t.get("name")] = [i.text for i in t.iter("i") if i.text]
    verbs = {}
    for v in ET.parse(root + "verbs-fr.xml").getroot():
        verbs[v.findtext("i")] = v.findtext("t")
    forms = set()
    for infinitive in infinitives:
        template = verbs[infinitive]
        stem = infinitive[:len(infinitive) - len(template.split(":")[1])]
        forms.update(stem + ending for ending in templates[template])
    return forms


# ---- tables ---------------------------------------------------------------------------------


def readable(word):
    # Lower-case Latin-1 letters, digits, "-" and "/" only: what the engine's filters keep.
    try:
        word.encode("latin-1")
    except UnicodeEncodeError:
        return False
    return re.fullmatch(r"[a-z0-9à-öø-ÿ/-]+", word) is not None


def sort_key(word):
    plain = unicodedata.normalize("NFD", word)
    plain = "".join(ch for ch in plain if not unicodedata.combining(ch))
    return (plain, word)


def existing(name):
    """The hand-made entries a table started from (word_table_seeds.txt)."""
    with open(os.path.join(HERE, "word_table_seeds.txt"), encoding="utf-8") as f:
        for line in f:
            fields = line.split()
            if fields and fields[0] == name:
                return fields[1:]
    sys.exit("no seed entries for " + name)


def in_bounds(name, word):
    first, last = BOUNDS[name]
    k = sort_key(word)
    if k < sort_key(first[0]) or k > sort_key(last[-1]):
        return False
    for fixed in (first, last):
        # Nothing stands between the fixed entries at either end.
        for a, b in zip(fixed, fixed[1:]):
            if sort_key(a) < k < sort_key(b):
                return False
    return True


class Table:
    def __init__(self, name, blocked=()):
        self.name = name
        self.size = SIZES[name]
        self.words = set()
        self.blocked = set(blocked)
        first, last = BOUNDS[name]
        self.words.update(first + last)
        # The hand-made entries stay, unless they would stand between the fixed ends.
        self.words.update(w for w in existing(name) if in_bounds(name, w))

    def full(self):
        return len(self.words) >= self.size

    def add(self, word):
        if self.full() or word in self.words or word in self.blocked:
            return False
        if not readable(word) or not in_bounds(self.name, word):
            return False
        self.words.add(word)
        return True

    def add_all(self, words):
        for w in words:
            self.add(w)

    def sorted(self):
        if len(self.words) != self.size:
            sys.exit("%s: %d entries, %d wanted" % (self.name, len(self.words), self.size))
        return sorted(self.words, key=sort_key)


def third_person(verb):
    if verb in ("go", "do"):
        return verb + "es"
    if re.search(r"(s|x|z|ch|sh)$", verb):
        return verb + "es"
    if re.search(r"[^aeiou]y$", verb):
        return verb[:-1] + "ies"
    return verb + "s"


def plural(noun, irregular):
    if noun in irregular:
        return irregular[noun]
    if re.search(r"(s|x|z|ch|sh)$", noun):
        return [noun + "es"]
    if re.search(r"[^aeiou]y$", noun):
        return [noun[:-1] + "ies"]
    return [noun + "s"]


def english_tables(counts, after_marker):
    score, vocabulary = ranker(counts)
    seen = collections.Counter()
    for c in counts.values():
        seen.update(c)
    uses, irregular, noun_exc = wordnet()
    ranked = sorted((w for w in vocabulary if w.isalpha()), key=lambda w: (-score(w), w))

    stop = Table("EnglishStopWords")
    listed = set()
    for w in lingua("en") + tm_list("english") + tm_list("SMART"):
        listed.add(w.lower().replace("'", ""))
    # The listed words go in by rank too, so that the rarest fall away if there are too many.
    # Single letters other than the words "a" and "i" would only weigh as English evidence in
    # French text, where "l'" and "d'" abound.
    stop.add_all(sorted((w for w in listed if len(w) > 1), key=lambda w: (-score(w), w)))
    # Then the words WordNet knows only as adverbs ("actually", "usually").
    stop.add_all(w for w in ranked if w in uses and uses[w][3] > 0 and sum(uses[w][:3]) == 0)

    # A verb is a WordNet verb that the texts put after a verb marker in at least one in eight
    # of its uses ("to install", "you install"): "file" and "list" are mostly nouns there.
    general_seeds = set(existing("EnglishGeneralWords"))
    verbs = Table("EnglishVerbs", blocked=stop.words | general_seeds)
    for w in ranked:
        if verbs.full():
            break
        u = uses.get(w)
        if u is None or u[1] <= 1 or len(w) < 3 or w in stop.words or w in general_seeds:
            continue
        if after_marker[w] < seen[w] / 8:
            continue
        # The third person and the irregular forms that the texts use ("wrote", not "writ").
        forms = [w] + [f for f in [third_person(w)] + irregular.get(w, [])
                       if not f.endswith("ing") and counts_any(counts, f)]
        if all(in_bounds("EnglishVerbs", f) for f in forms):
            verbs.add_all(forms)

    general = Table("EnglishGeneralWords", blocked=stop.words | verbs.words)
    for w in ranked:
        if general.full():
            break
        u = uses.get(w)
        if u is None or len(w) < 3 or u[0] + u[2] < u[1] or u[0] + u[2] <= 2:
            continue
        general.add(w)
        if u[0] > u[2]:
            general.add_all(p for p in plural(w, noun_exc) if counts_any(counts, p))
    return [stop, general, verbs]


def counts_any(counts, word):
    return any(c.get(word, 0) >= 3 for c in counts.values())


def french_tables(counts, english_counts):
    score, vocabulary = ranker(counts)
    french_total = sum(sum(c.values()) for c in counts.values())
    english_total = sum(sum(c.values()) for c in english_counts.values())

    def borrowed(word):
        # An English word in French texts (commands, quotations): more common in English ones.
        f = sum(c.get(word, 0) for c in counts.values()) / french_total
        e = sum(c.get(word, 0) for c in english_counts.values()) / english_total
        return e >= f
    pos = hunspell_french()
    ranked = sorted(vocabulary, key=lambda w: (-score(w), w))

    stop = Table("FrenchStopWords")
    stop.add_all(sorted({w.lower() for w in lingua("fr") + tm_list("french")}, key=lambda w: (-score(w), w)))
    stop.add_all(sorted(verbiste_forms(["être", "avoir"]), key=lambda w: (-score(w), w)))
    general_seeds = set(existing("FrenchGeneralWords"))
    grammatical = {"mg", "prep", "cjco", "cjsub", "cj", "det", "detpos", "detind", "detdem",
                   "detneg", "prodem", "proind", "prorel", "proint", "proneg", "proadv",
                   "properobj", "propersuj", "negadv", "advint", "adv", "nb", "nbro"}
    # Grammatical words first, then those that are also nouns, adjectives or verbs ("pas",
    # "bien", "tout"), each by rank.
    # The dictionary's grammatical words of three letters and more that are French words (the
    # shorter ones are mostly abbreviations).
    def grammatical_word(w):
        return len(w) >= 3 and bool(pos.get(w, set()) & grammatical) and not borrowed(w)

    stop.add_all(w for w in ranked if grammatical_word(w) and not pos[w] & {"nom", "v", "adj"})
    # Then the forms of the verbs that mostly serve others: pouvoir, devoir, faire, falloir.
    stop.add_all(sorted(verbiste_forms(["pouvoir", "devoir", "faire", "falloir"]), key=lambda w: (-score(w), w)))
    # Last, grammatical words that are also nouns, adjectives or verbs ("pas", "bien").
    stop.add_all(w for w in ranked if grammatical_word(w) and w not in general_seeds)

    # Verbs are not general words, except forms the dictionary also knows as nouns ("vue"); nor
    # are English words French pages borrow for their navigation.
    infinitives = set(verbiste_infinitives())
    verb_forms = verbiste_forms(infinitives)
    english_stop = {w.lower().replace("'", "") for w in lingua("en") + tm_list("SMART")}
    general = Table("FrenchGeneralWords", blocked=stop.words | english_stop)
    by_base = collections.defaultdict(list)
    for w in vocabulary:
        if pos.get(w, set()) & {"nom", "adj"}:
            by_base[re.sub(r"(e?s|x)$", "", w)].append(w)
    for w in ranked:
        if general.full():
            break
        p = pos.get(w, set())
        if len(w) < 3 or not p & {"nom", "adj"} or "prn" in p or "npr" in p:
            continue
        if w in infinitives or (w in verb_forms and "nom" not in p) or p & grammatical or borrowed(w):
            continue
        base = re.sub(r"(e?s|x)$", "", w)
        general.add(w)
        general.add_all(sorted((f for f in by_base.get(base, []) if (f not in verb_forms or "nom" in pos[f])
                                and not borrowed(f)), key=lambda w: (-score(w), w)))
    return [stop, general]


def generated_words(path, name):
    """The words of one table as a generated file last wrote them."""
    with open(os.path.join(KEYWORDS, path), encoding="utf-8") as f:
        text = f.read()
    m = re.search(r"std::vector<std::string> %s\(\)\n\{\n    return WordsOf\(R\"\((.*?)\)\"\);" % name, text, re.S)
    if not m:
        sys.exit("no table %s in %s" % (name, path))
    return m.group(1).split()


def english_dictionary():
    with open("/usr/share/dict/american-english", encoding="utf-8") as f:
        return {w.strip().lower() for w in f}


def french_verb_table(counts):
    score, vocabulary = ranker(counts)
    pos = hunspell_french()
    english = english_dictionary()
    verbs = Table("FrenchVerbForms", blocked=generated_words("KxWordTablesFrench.cpp", "FrenchStopWords"))
    # Only forms that are nothing but verb forms: a phrase holding one is rejected, so a noun
    # that shares a verb's spelling ("adresse", "code") or an English word in French texts
    # ("use") must not be taken.
    infinitives = [i for i in verbiste_infinitives() if any(p.startswith("v") for p in pos.get(i, ()))]
    def only_a_verb(w):
        # The dictionary lists a noun or adjective once, in the singular: "lignes" is "ligne".
        spellings = {w} | ({w[:-1]} if w.endswith(("s", "x")) else set())
        return w not in english and not any(not p.startswith("v") for s in spellings for p in pos.get(s, ()))
    forms = verbiste_forms(infinitives)
    verbs.add_all(sorted((w for w in forms if w in vocabulary and only_a_verb(w)), key=lambda w: (-score(w), w)))
    return verbs


# ---- output ---------------------------------------------------------------------------------

HEADER = """// Generated by keywords/tools/make_word_tables.py from word data in Debian packages; edit the
// script and run it again rather than editing this file.
"""


def cpp_list(words, width=96):
    lines, line = [], ""
    for w in words:
        if line and len(line) + 1 + len(w) > width:
            lines.append(line)
            line = w
        else:
            line = w if not line else line + " " + w
    lines.append(line)
    return "\n".join(lines)


def write(path, title, tables):
    parts = [HEADER, "// %s\n" % title, '#include "keywords/KxWordTables.h"\n\nnamespace kx {\n']
    for t in tables:
        words = t.sorted()
        parts.append("\n// %d entries, \"%s\" to \"%s\".\nstd::vector<std::string> %s()\n{\n"
                     "    return WordsOf(R\"(\n%s)\");\n}\n" % (len(words), words[0], words[-1], t.name,
                                                         cpp_list(words)))
    parts.append("\n} // namespace kx\n")
    with open(path, "w", encoding="utf-8") as f:
        f.write("".join(parts))
    print("wrote " + path, file=sys.stderr)


def main():
    if sys.argv[1:] == ["french-verbs"]:
        print("French texts:", file=sys.stderr)
        verbs = french_verb_table(count(FRENCH_KINDS, french_words))
        write(os.path.join(KEYWORDS, "KxFrenchVerbForms.cpp"), "The French verb forms.", [verbs])
        return
    print("English texts:", file=sys.stderr)
    after_marker = collections.Counter()
    english_counts = count(ENGLISH_KINDS, english_words, after_marker)
    english = english_tables(english_counts, after_marker)
    print("French texts:", file=sys.stderr)
    french = french_tables(count(FRENCH_KINDS, french_words), english_counts)
    write(os.path.join(KEYWORDS, "KxWordTablesEnglish.cpp"),
          "The English word tables: stop words, general words and verbs.", english)
    write(os.path.join(KEYWORDS, "KxWordTablesFrench.cpp"),
          "The French word tables: stop words and general words (the verb forms have their own file).",
          french)
    print("French texts, for the verb forms:", file=sys.stderr)
    write(os.path.join(KEYWORDS, "KxFrenchVerbForms.cpp"), "The French verb forms.",
          [french_verb_table(count(FRENCH_KINDS, french_words))])


if __name__ == "__main__":
    main()
