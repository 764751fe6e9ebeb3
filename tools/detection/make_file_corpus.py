#!/usr/bin/env python3
"""Makes the corpus of files that the code page detector and the repair are
measured on: the kinds of files people have, not sentences.

    tools/detection/make_file_corpus.py [OUTPUT_DIR]     (default build/file-corpus)

Writes OUTPUT_DIR/{tune,test}/KIND/NAME.ENCODING and OUTPUT_DIR/{tune,test}/
manifest.tsv, a line per file: path, kind, language, encoding (Python's codec
name), the path of its text in UTF-8 beside it (NAME.txt).

The text comes from Debian packages (tools/detection/install_corpus.sh
installs them): the Russian, Ukrainian and Serbian manual pages (manpages-ru,
manpages-uk, manpages-sr), and the fortunes of fortunes-ru, split as the
training tool splits them: the n-th distinct fortune is held out where
n % 10 == 0 and calibrates where n % 10 == 5; the n-th manual page of a
language (in the sorted list of their paths) counts where n % 3 == 0,
calibrates where n % 3 == 1 and is held out where n % 3 == 2. The parts
never share a text:

- test: held-out fortunes and manual pages;
- tune: calibration fortunes and manual pages.

The training tool may calibrate on tune; the figures in docs/detection.md
and docs/repair.md come from test alone. Every file is made from its part's
text by rules of this script (frames, tables, markup, headers); the
abbreviations are split the same way, by their place in the list. The
seed is fixed: the corpus comes out the same each time.
"""
import gzip
import os
import random
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# Common abbreviations and names in capitals, as people write them.
ABBREVIATIONS = """СССР США ООО ЗАО ОАО КГБ МВД ФСБ ГИБДД ВУЗ МГУ РФ РАН ЦБ НДС ИНН КПП ОГРН БИК ТВ ПК ОС ЭВМ
ГОСТ СНГ ЕС ООН НАТО ВВП ЖКХ МЧС ДТП АЭС ГЭС ТЭЦ РЖД ВДНХ ЦСКА СМИ ЗАГС ОВД ЧП ИП ФИО ПО ПДД ЛДПР КПРФ
ЕГЭ ОГЭ РСФСР УВД ГУМ ЦУМ НИИ КБ ВМФ ВВС ПВО СВЧ УКВ ДНК РНК ОРВИ ВИЧ СПИД ЦРУ ФБР МИД МО ГУВД СИЗО
БТР БМП ПЗРК ЗРК ГРУ КПСС ВЛКСМ ДОСААФ ЛЭП АТС НТВ ОРТ ВГТРК МКАД ТТК МКС ЖЭК РЭУ ДЭЗ ПТУ ФЗУ НКВД""".split()
UKRAINIAN_ABBREVIATIONS = """СБУ МВС ЗСУ ВРУ КМУ НБУ ПДВ ЄДРПОУ ЗНО НАН ЄС ООН США ЦВК ДСНС ЖКГ КНУ ЛНУ
ЗНО УРСР ОУН УПА ДАІ ПФУ ДФС""".split()

# Lines of English to fill the ASCII parts of files with.
ENGLISH = [
    "The configuration file is read at startup and again on SIGHUP.",
    "See the documentation for the full list of options and their defaults.",
    "Connection established to the server, waiting for the response.",
    "This program is free software; you can redistribute it and/or modify it.",
    "Copyright (c) 2004-2023 the contributors. All rights reserved.",
    "Warning: the cache directory is not writable, falling back to /tmp.",
    "Usage: backup [OPTION]... SOURCE DEST",
    "Processed 1024 records in 3.2 seconds (320 records per second).",
    "The quick brown fox jumps over the lazy dog.",
    "Please report bugs to the issue tracker of the project.",
]


def die(message):
    sys.stderr.write(message + "\n")
    sys.exit(1)


# --- The text ---

ESCAPES = [("\\-", "-"), ("\\(co", "©"), ("\\(aq", "'"), ("\\(em", "—"), ("\\(en", "–"), ("\\(lq", "“"),
           ("\\(rq", "”"), ("\\(Fo", "«"), ("\\(Fc", "»"), ("\\&", ""), ("\\/", ""), ("\\,", ""), ("\\e", "\\"),
           ("\\fB", ""), ("\\fI", ""), ("\\fP", ""), ("\\fR", ""), ("\\ ", " "), ("\\%", "")]


def cyrillic_count(text):
    return sum(1 for c in text if "\u0400" <= c <= "\u04ff")


def manual_paragraphs(path):
    """The prose paragraphs of a manual page: its text lines between requests."""
    paragraphs, current = [], []
    with gzip.open(path, "rt", encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith(".") or line.startswith("'") or not line.strip():
                if current:
                    paragraphs.append(" ".join(current))
                    current = []
                continue
            for escape, plain in ESCAPES:
                line = line.replace(escape, plain)
            line = re.sub(r"\\.", "", line).strip()
            if line:
                current.append(line)
    if current:
        paragraphs.append(" ".join(current))
    return [p for p in paragraphs if cyrillic_count(p) >= 20 and cyrillic_count(p) * 2 > len(p) * 0.6
            and "\ufffd" not in p]


def manual_lines(path):
    """The text lines of a manual page as the formatter shows them, one by one:
    prose, synopses, options, headings."""
    lines = []
    with gzip.open(path, "rt", encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith(".SH") or line.startswith(".SS"):
                line = line[3:].strip().strip('"')
            elif line.startswith(".") or line.startswith("'"):
                continue
            for escape, plain in ESCAPES:
                line = line.replace(escape, plain)
            line = re.sub(r"\\.", "", line).strip()
            if 5 <= len(line) <= 120 and cyrillic_count(line) >= 1 and "\ufffd" not in line:
                lines.append(line)
    return lines


def manual_pages(language):
    folder = "/usr/share/man/" + language
    pages = []
    for section in sorted(os.listdir(folder)) if os.path.isdir(folder) else []:
        for name in sorted(os.listdir(os.path.join(folder, section))):
            if name.endswith(".gz"):
                pages.append(os.path.join(folder, section, name))
    return pages


def fortunes(part):
    """fortunes-ru's fortunes of one part, numbered as the training tool does."""
    folder = "/usr/share/games/fortunes/ru"
    seen, chosen, number = set(), [], 0
    for name in sorted(n for n in os.listdir(folder) if n.endswith(".u8")):
        with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
            lines = f.read().split("\n") + ["%"]
        fortune = []
        for line in lines:
            if line != "%":
                fortune.append(line)
                continue
            text = "\n".join(fortune).strip(" \t\n\r")
            fortune = []
            if not text or text in seen:
                continue
            seen.add(text)
            tenth = number % 10
            number += 1
            if (tenth == 0 and part == "test") or (tenth == 5 and part == "tune"):
                chosen.append(text)
    return chosen


class Texts:
    """A part's paragraphs of each language."""

    def __init__(self, part):
        self.by_language = {}
        for language in ("ru", "uk", "sr"):
            pages = manual_pages(language)
            if not pages:
                die("no manual pages in /usr/share/man/%s: install manpages-%s" % (language, language))
            mine = [p for n, p in enumerate(pages) if n % 3 == (1 if part == "tune" else 2)]
            paragraphs = []
            for page in mine:
                paragraphs += manual_paragraphs(page)
            self.by_language[language] = paragraphs
        self.pages = {language: [p for n, p in enumerate(manual_pages(language)) if n % 3 == (1 if part == "tune" else 2)]
                      for language in ("ru", "uk", "sr")}
        self.fortunes = [f for f in fortunes(part) if cyrillic_count(f) >= 20]
        if not self.fortunes:
            die("no fortunes: install fortunes-ru")

    def paragraph(self, rng, language, least=60, most=1500):
        pool = self.by_language[language] + (self.fortunes if language == "ru" else [])
        for _ in range(100):
            text = rng.choice(pool)
            if least <= len(text) <= most:
                return text
        return rng.choice(pool)[:most]

    def words(self, rng, language, count):
        text = self.paragraph(rng, language, 40)
        words = [w.strip(".,;:!?()«»\"") for w in text.split()]
        words = [w for w in words if w and cyrillic_count(w) == len(w)]
        if not words:
            words = ["текст"]
        start = rng.randrange(len(words))
        return ((words[start:] + words[:start]) * count)[:count]


# --- The encodings ---

PAGES = ["cp866", "cp1251", "koi8-r", "mac-cyrillic", "iso8859-5"]
UKRAINIAN_PAGES = ["cp1251", "koi8-u", "mac-cyrillic", "iso8859-5", "cp1125"]


def encodable(text, encoding):
    try:
        text.encode(encoding)
        return True
    except UnicodeEncodeError:
        return False


def pages_for(language, text, pages=None):
    """The pages a text of a language is written in, where they hold it."""
    if pages is None:
        pages = PAGES if language != "uk" else UKRAINIAN_PAGES + ["koi8-r", "cp866"]
    return [p for p in pages if encodable(text, p)]


# --- The kinds of files ---

def frame(lines, width, style, rng):
    """Lines framed in box drawing: style "double" or "single"."""
    h, v, tl, tr, bl, br = ("═", "║", "╔", "╗", "╚", "╝") if style == "double" else ("─", "│", "┌", "┐", "└", "┘")
    out = [tl + h * (width + 2) + tr]
    for line in lines:
        out.append(v + " " + line.ljust(width) + " " + v)
    out.append(bl + h * (width + 2) + br)
    return out


def wrap(text, width):
    lines, line = [], ""
    for word in text.split():
        if line and len(line) + 1 + len(word) > width:
            lines.append(line)
            line = word
        else:
            line = (line + " " + word).strip()
    if line:
        lines.append(line)
    return lines


def dos_menu(texts, rng, language):
    items = []
    for n in range(rng.randint(3, 8)):
        words = texts.words(rng, language, rng.randint(1, 3))
        items.append("%d. %s" % (n + 1, " ".join(words).capitalize()))
    title = " ".join(texts.words(rng, language, rng.randint(1, 2))).capitalize()
    width = max(len(i) for i in items + [title]) + rng.randint(0, 6)
    style = rng.choice(["double", "single"])
    lines = frame([title.center(width)] + ["-" * 0] * 0 + items, width, style, rng)
    if style == "double":
        lines.insert(2, "╠" + "═" * (width + 2) + "╣")
    if rng.random() < 0.5:  # a shadow
        lines = [l + ("▒" if n else " ") for n, l in enumerate(lines)] + [" " + "▒" * len(lines[0])]
    indent = " " * rng.randint(0, 20)
    screen = ["" for _ in range(rng.randint(0, 5))] + [indent + l for l in lines]
    if rng.random() < 0.5:
        screen.append("")
        screen.append(" F1 " + rng.choice(["Помощь", "Справка"]) + "  F10 " + rng.choice(["Выход", "Меню"]))
    return "\r\n".join(screen) + "\r\n"


def dos_table(texts, rng, language, single=None):
    rows = []
    for _ in range(rng.randint(2, 8)):
        rows.append([" ".join(texts.words(rng, language, rng.randint(1, 2))), str(rng.randint(1, 9999)),
                     "%d.%02d" % (rng.randint(0, 999), rng.randint(0, 99))])
    head = [w.capitalize() for w in texts.words(rng, language, 3)]
    widths = [max(len(r[k]) for r in rows + [head]) for k in range(3)]
    double = rng.random() < 0.5 if single is None else not single
    if double:
        h, v, marks = "═", "║", ("╔", "╦", "╗", "╠", "╬", "╣", "╚", "╩", "╝")
    else:
        h, v, marks = "─", "│", ("┌", "┬", "┐", "├", "┼", "┤", "└", "┴", "┘")

    def rule(left, middle, right):
        return left + middle.join(h * (w + 2) for w in widths) + right

    def row(cells):
        return v + v.join(" " + c.ljust(w) + " " for c, w in zip(cells, widths)) + v

    lines = [rule(*marks[0:3]), row(head), rule(*marks[3:6])]
    for r in rows:
        lines.append(row(r))
    lines.append(rule(*marks[6:9]))
    return lines


def dos_progress(texts, rng, language):
    done = rng.randint(0, 30)
    total = 30
    bar = "█" * done + "░" * (total - done)
    caption = rng.choice(["Загрузка...", "Копирование файлов", "Подождите", "Идёт установка", "Распаковка"]) \
        if language == "ru" else " ".join(texts.words(rng, language, rng.randint(1, 2))).capitalize() + "..."
    lines = [caption, "[" + bar + "] %d%%" % (100 * done // total)]
    if rng.random() < 0.5:
        lines = frame(lines, max(len(l) for l in lines), rng.choice(["double", "single"]), rng)
    return "\r\n".join(lines) + "\r\n"


def dos_framed_text(texts, rng, language):
    width = rng.randint(30, 70)
    lines = wrap(texts.paragraph(rng, language, 40, 1500), width)[:rng.randint(1, 20)]
    return "\r\n".join(frame(lines, width, rng.choice(["double", "single"]), rng)) + "\r\n"


def box_table(texts, rng, language):
    return "\n".join(dos_table(texts, rng, language, single=rng.random() < 0.7)) + "\n"


def html(texts, rng, language, encoding_label):
    paragraphs = ["<p>%s</p>" % texts.paragraph(rng, language, 30, 600) for _ in range(rng.randint(1, 3))]
    english = ["<p>%s</p>" % " ".join(rng.sample(ENGLISH, 3)) for _ in range(rng.randint(0, 6))]
    body = paragraphs + english
    rng.shuffle(body)
    meta = '<meta charset="%s">\n' % encoding_label if rng.random() < 0.5 and encoding_label else ""
    css = "" if rng.random() < 0.4 else (
        "<style>\nbody { margin: 0 auto; max-width: 48em; font-family: Arial, sans-serif; }\n"
        "h1 { color: #333; font-size: 1.5em; }\n.menu a { padding: 4px 8px; text-decoration: none; }\n</style>\n")
    js = "" if rng.random() < 0.5 else (
        "<script>\nfunction toggle(id) {\n  var e = document.getElementById(id);\n"
        "  e.style.display = e.style.display === 'none' ? 'block' : 'none';\n}\n</script>\n")
    title = " ".join(texts.words(rng, language, rng.randint(1, 4))).capitalize()
    nav = '<div class="menu"><a href="/">Home</a> <a href="/about.html">About</a> <a href="/news/">News</a></div>\n'
    return ("<!DOCTYPE html>\n<html>\n<head>\n%s<title>%s</title>\n%s%s</head>\n<body>\n%s<h1>%s</h1>\n%s\n"
            "</body>\n</html>\n" % (meta, title, css, js, nav, title, "\n".join(body)))


def encoded_word(text, charset):
    import base64
    return "=?%s?B?%s?=" % (charset, base64.b64encode(text.encode(charset)).decode("ascii"))


def email(texts, rng, language, charset):
    subject = " ".join(texts.words(rng, language, rng.randint(2, 6))).capitalize()
    name = " ".join(texts.words(rng, language, 2)).title()
    encoded = rng.random() < 0.5
    headers = [
        "Return-Path: <ivan@example.org>",
        "Received: from mail.example.org (mail.example.org [192.0.2.1]) by mx.example.net with ESMTP id 4F2A1B; "
        "Mon, 3 Apr 2023 10:15:00 +0300",
        "Message-ID: <20230403101500.4F2A1B@example.org>",
        "Date: Mon, 3 Apr 2023 10:15:00 +0300",
        "From: %s <ivan@example.org>" % (encoded_word(name, charset) if encoded else name),
        "To: team@example.net",
        "Subject: %s" % (encoded_word(subject, charset) if encoded else subject),
        "MIME-Version: 1.0",
    ]
    if rng.random() < 0.7:
        headers.append("Content-Type: text/plain; charset=%s" % charset)
        headers.append("Content-Transfer-Encoding: 8bit")
    body = [texts.paragraph(rng, language, 40, 800)]
    if rng.random() < 0.6:
        body.append("> " + "\n> ".join(wrap(" ".join(rng.sample(ENGLISH, 4)), 70)))
    body.append("--\n" + name)
    return "\n".join(headers) + "\n\n" + "\n\n".join(body) + "\n"


def subtitles(texts, rng, language):
    out, t = [], rng.randint(0, 600) * 1000
    for n in range(rng.randint(3, 40)):
        line = " ".join(texts.words(rng, language, rng.randint(1, 8)))
        start, end = t, t + rng.randint(800, 4000)
        stamp = lambda ms: "%02d:%02d:%02d,%03d" % (ms // 3600000, ms // 60000 % 60, ms // 1000 % 60, ms % 1000)
        if rng.random() < 0.3:
            line = "- " + line.capitalize() + "?\n- " + " ".join(texts.words(rng, language, rng.randint(1, 4))) + "."
        else:
            line = line.capitalize() + rng.choice([".", "...", "!", "?", ""])
        out.append("%d\r\n%s --> %s\r\n%s\r\n" % (n + 1, stamp(start), stamp(end), line.replace("\n", "\r\n")))
        t = end + rng.randint(100, 3000)
    return "\r\n".join(out)


def csv_file(texts, rng, language):
    sep = rng.choice([";", ",", "\t"])
    head = ["id", "name", "city", "amount", "date"] if rng.random() < 0.5 else \
        [w.capitalize() for w in texts.words(rng, language, 5)]
    rows = [sep.join(head)]
    for n in range(rng.randint(3, 60)):
        name = " ".join(texts.words(rng, language, rng.randint(1, 2))).capitalize()
        rows.append(sep.join([str(n + 1), '"%s"' % name if rng.random() < 0.5 else name,
                              rng.choice(["Moscow", "Kiev", "Minsk", texts.words(rng, language, 1)[0].capitalize()]),
                              "%d.%02d" % (rng.randint(0, 99999), rng.randint(0, 99)),
                              "2023-%02d-%02d" % (rng.randint(1, 12), rng.randint(1, 28))]))
    return "\r\n".join(rows) + "\r\n"


C_CODE = """#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define BUFFER_SIZE 4096

static int count_lines(FILE *file)
{
    char buffer[BUFFER_SIZE];
    int lines = 0;
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) {
        for (size_t i = 0; i < got; ++i)
            if (buffer[i] == '\\n')
                ++lines;
    }
    return lines;
}

int main(int argc, char **argv)
{
    %s
    if (argc < 2) {
        fprintf(stderr, "usage: %%s FILE\\n", argv[0]);
        return 2;
    }
    FILE *file = fopen(argv[1], "rb");
    if (!file) {
        perror(argv[1]);
        return 1;
    }
    printf("%%d\\n", count_lines(file));
    fclose(file);
    return 0;
}
"""

PY_CODE = """import os
import sys


def read_config(path):
    %s
    values = {}
    with open(path) as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith('#'):
                continue
            key, _, value = line.partition('=')
            values[key.strip()] = value.strip()
    return values


def main():
    %s
    config = read_config(sys.argv[1] if len(sys.argv) > 1 else 'app.conf')
    for key in sorted(config):
        print(key, config[key])


if __name__ == '__main__':
    main()
"""


def c_code(texts, rng, language):
    comment = " ".join(texts.words(rng, language, rng.randint(2, 10))).capitalize()
    return C_CODE % ("/* %s */" % comment)


def py_code(texts, rng, language):
    return PY_CODE % ("# " + " ".join(texts.words(rng, language, rng.randint(2, 10))).capitalize(),
                      "# " + " ".join(texts.words(rng, language, rng.randint(2, 10))).capitalize())


def log_file(texts, rng, language):
    lines = []
    for n in range(rng.randint(10, 200)):
        stamp = "2023-04-%02d %02d:%02d:%02d" % (rng.randint(1, 30), rng.randint(0, 23), rng.randint(0, 59),
                                                 rng.randint(0, 59))
        if rng.random() < 0.15:
            message = " ".join(texts.words(rng, language, rng.randint(2, 8))).capitalize()
        else:
            message = rng.choice(ENGLISH)
        lines.append("%s [%s] %s: %s" % (stamp, rng.choice(["INFO", "WARN", "ERROR", "DEBUG"]),
                                         rng.choice(["server", "db", "auth", "cron"]), message))
    return "\n".join(lines) + "\n"


def english_word(texts, rng, language):
    word = texts.words(rng, language, 1)[0]
    sentence = rng.choice(ENGLISH).split()
    sentence.insert(rng.randrange(len(sentence)), word)
    return " ".join(sentence) + "\n"


def capitals(texts, rng, language, abbreviations):
    kind = rng.randrange(4)
    if kind == 0:
        return rng.choice(abbreviations) + "\n"
    if kind == 1:
        return " ".join(rng.sample(abbreviations, rng.randint(2, 6))) + "\n"
    if kind == 2:
        words = texts.words(rng, language, rng.randint(1, 4))
        form = rng.choice(["ООО «%s»", "[%s]", "%s", "«%s»", "%s!"])
        return (form % " ".join(words)).upper() + "\n"
    return texts.paragraph(rng, language, 20, 300).upper() + "\n"


def late(texts, rng, language):
    """Cyrillic text late in a file, in ASCII."""
    filler_line = lambda: rng.choice(ENGLISH) + "\n"

    def filler(size):
        out = []
        total = 0
        while total < size:
            out.append(filler_line())
            total += len(out[-1])
        return "".join(out)

    kind = rng.randrange(4)
    cyrillic = texts.paragraph(rng, language, 100, 1500)
    if kind == 0:  # a paragraph at 70 KiB, more ASCII after it
        return filler(70 * 1024) + cyrillic + "\n" + filler(rng.randint(1, 200) * 1024)
    if kind == 1:  # a word at the start, text after 80 KiB
        return texts.words(rng, language, 1)[0] + "\n" + filler(80 * 1024) + cyrillic + "\n" + filler(4096)
    if kind == 2:  # a short paragraph after 300 KiB
        return filler(rng.randint(100, 900) * 1024) + cyrillic + "\n" + filler(1024)
    # Cyrillic only after more than 1 MiB of ASCII
    return filler(1100 * 1024) + cyrillic + "\n" + filler(2048)


def prose(texts, rng, language):
    return "\n\n".join(texts.paragraph(rng, language, 50, 1500) for _ in range(rng.randint(1, 3))) + "\n"


# The label a document or a message gives its encoding.
LABELS = {"cp1251": "windows-1251", "koi8-r": "koi8-r", "koi8-u": "koi8-u", "utf-8": "utf-8",
          "iso8859-5": "iso-8859-5", "cp866": "ibm866", "mac-cyrillic": "x-mac-cyrillic", "cp1125": "cp1125"}


def make(part, output):
    rng = random.Random(2023 if part == "test" else 4046)
    texts = Texts(part)
    abbreviations = [a for n, a in enumerate(ABBREVIATIONS) if (n % 2 == 0) == (part == "test")]
    ukrainian = [a for n, a in enumerate(UKRAINIAN_ABBREVIATIONS) if (n % 2 == 0) == (part == "test")]
    folder = os.path.join(output, part)
    manifest = []

    def write(kind, language, text, encodings, eol=None):
        for encoding in encodings:
            if not encodable(text, encoding):
                continue
            name = "%s-%04d" % (kind, len(manifest))
            os.makedirs(os.path.join(folder, kind), exist_ok=True)
            path = os.path.join(folder, kind, name + "." + encoding)
            with open(path, "wb") as f:
                f.write(text.encode(encoding))
            with open(os.path.join(folder, kind, name + ".txt"), "w", encoding="utf-8", newline="") as f:
                f.write(text)
            manifest.append((os.path.relpath(path, folder), kind, language, encoding, name + ".txt"))

    def some(pages, count):
        return rng.sample(pages, min(count, len(pages)))

    languages = ["ru"] * 6 + ["uk"] * 3 + ["sr"]
    for n in range(60):
        language = languages[n % len(languages)]
        dos = ["cp866"] if language != "uk" else ["cp1125", "cp866"]
        write("dos-menu", language, dos_menu(texts, rng, language), dos)
        write("dos-table", language, "\r\n".join(dos_table(texts, rng, language)) + "\r\n", dos)
        write("dos-progress", language, dos_progress(texts, rng, language), dos)
        write("dos-framed-text", language, dos_framed_text(texts, rng, language), dos)
        write("koi8-box", language, box_table(texts, rng, language), ["koi8-u" if language == "uk" else "koi8-r"])
        text = prose(texts, rng, language)
        write("prose", language, text, pages_for(language, text) + ["utf-8"])
        for encoding in some(pages_for(language, "абв") + ["utf-8"], 2):
            write("html", language, html(texts, rng, language, LABELS[encoding] if rng.random() < 0.7 else ""),
                  [encoding])
        unix = {"uk": "koi8-u", "sr": "iso8859-5"}.get(language, "koi8-r")
        for encoding in some([unix, "cp1251", "utf-8"], 2):
            write("email", language, email(texts, rng, language, LABELS[encoding]), [encoding])
        write("srt", language, subtitles(texts, rng, language), some(["cp1251", "utf-8", "koi8-r", "cp866"], 2))
        write("csv", language, csv_file(texts, rng, language), some(["cp1251", "utf-8", "koi8-r", "cp866"], 2))
        write("c-code", language, c_code(texts, rng, language), some(["cp1251", "koi8-r", "utf-8", "cp866"], 2))
        write("py-code", language, py_code(texts, rng, language), some(["cp1251", "koi8-r", "utf-8"], 1))
        write("log", language, log_file(texts, rng, language), some(["cp1251", "koi8-r", "utf-8"], 2))
        write("english-word", language, english_word(texts, rng, language), some(pages_for(language, "абв"), 2))
        for _ in range(3):
            text = capitals(texts, rng, language, ukrainian if language == "uk" else abbreviations)
            write("capitals", language, text, pages_for(language, text))
        if n % 2 == 0:
            text = late(texts, rng, language)
            write("late", language, text, some(pages_for(language, text) + ["utf-8"], 2))
    # Lines of manual pages alone, like the strings of a program.
    for n in range(600):
        language = ["ru", "ru", "uk", "sr"][n % 4]
        page = rng.choice(texts.pages[language])
        lines = manual_lines(page)
        if lines:
            line = rng.choice(lines)
            write("manpage-line", language, line + "\n", some(pages_for(language, line), 1))
    # Manual pages as they are, in the pages people kept them in.
    for language in ("ru", "uk"):
        for page in texts.pages[language][:40]:
            with gzip.open(page, "rt", encoding="utf-8", errors="replace") as f:
                text = f.read()
            if cyrillic_count(text) < 50 or "\ufffd" in text:
                continue
            encodings = ["koi8-r", "cp1251", "utf-8"] if language == "ru" else ["koi8-u", "cp1251", "utf-8"]
            write("manpage", language, text, [rng.choice(encodings)])
    with open(os.path.join(folder, "manifest.tsv"), "w", encoding="utf-8") as f:
        for row in manifest:
            f.write("\t".join(row) + "\n")
    return len(manifest)


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "file-corpus")
    for part in ("tune", "test"):
        count = make(part, output)
        print("%s: %d files in %s" % (part, count, os.path.join(output, part)))


if __name__ == "__main__":
    main()
