#!/usr/bin/env python3
"""tarvoconv --detect beside uchardet, enca and chardet on the corpus of files
that tools/detection/make_file_corpus.py makes.

    bench/detect_files.py [--part test|tune] [--mistakes N] [CORPUS_DIR [TARVOCONV]]

For each kind of file: how many files each detector names an encoding for
that decodes the bytes to the file's text (right), how many it gives no
answer for, and how many it names a wrong encoding for; for Tarvo also the
wrong answers given at 90 % or more, the ones the program and -f auto act
on. Then Tarvo's confidence against how often it is right. Python's codecs
decode the answers. A detector that is not installed gets no column.
"""
import codecs
import os
import subprocess
import sys
from collections import defaultdict

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

ALIASES = {"mac": "mac-cyrillic", "maccyrillic": "mac-cyrillic", "x-mac-cyrillic": "mac-cyrillic",
           "maccyr": "mac-cyrillic", "ibm866": "cp866", "ecma-113": "iso8859-5", "utf-16be": "utf-16-be",
           "utf-16": "utf-16", "ruscii": "cp1125", "mac-cyrillic": "mac-cyrillic"}


def codec_of(name):
    """Python's codec for a detector's answer, or None for no answer."""
    if not name:
        return None
    name = name.strip().lower()
    if name in ("unknown", "none", "???", "binary", "") or name.startswith("unrecognized"):
        return None
    name = ALIASES.get(name, name)
    try:
        return codecs.lookup(name).name
    except LookupError:
        return "?" + name


def right_in_text(codec, data, text):
    if codec is None or codec.startswith("?"):
        return False
    try:
        decoded = data.decode(codec)
    except (UnicodeDecodeError, LookupError):
        return False
    if decoded.startswith("\ufeff"):
        decoded = decoded[1:]
    return decoded == text


def run_batches(command, paths, parse, batch=200):
    answers = {}
    for first in range(0, len(paths), batch):
        chunk = paths[first:first + batch]
        if len(chunk) == 1:
            chunk = chunk * 2  # one file alone is answered without its name
        try:
            out = subprocess.run(command + chunk, capture_output=True, text=True, errors="replace").stdout
        except FileNotFoundError:
            return None
        for line in out.splitlines():
            parsed = parse(line)
            if parsed:
                answers[parsed[0]] = parsed[1]
    return answers


def parse_colon(line):
    if ": " not in line:
        return None
    path, answer = line.rsplit(": ", 1) if line.count(": ") > 1 and "/" in line.rsplit(": ", 1)[0] else line.split(": ", 1)
    return path, answer


def tarvo_parse(line):
    if ": " not in line:
        return None
    path, answer = line.rsplit(": ", 1)
    parts = answer.split()
    confidence = int(parts[1].strip("(%)")) if len(parts) > 1 else (100 if parts[0] == "ascii" else 0)
    return path, (parts[0], confidence)


def uchardet_parse(line):
    if ": " not in line:
        return None
    path, answer = line.rsplit(": ", 1)
    return path, answer.strip()


def enca_parse(line):
    if ": " not in line:
        return None
    path, answer = line.split(": ", 1)
    return path, answer.split("/")[0].strip()


def chardet_parse(line):
    if ": " not in line:
        return None
    path, answer = line.rsplit(": ", 1)
    return path, answer.split(" with ")[0].strip()


def main():
    args = sys.argv[1:]
    part, mistakes = "test", 0
    while args and args[0].startswith("--"):
        if args[0] == "--part":
            part = args[1]
        elif args[0] == "--mistakes":
            mistakes = int(args[1])
        args = args[2:]
    corpus = args[0] if args else os.path.join(ROOT, "build", "file-corpus")
    tarvoconv = args[1] if len(args) > 1 else os.path.join(ROOT, "build", "cli", "tarvoconv")
    folder = os.path.join(corpus, part)
    rows = [line.rstrip("\n").split("\t") for line in open(os.path.join(folder, "manifest.tsv"), encoding="utf-8")]
    files = []
    for path, kind, language, encoding, text in rows:
        full = os.path.join(folder, path)
        with open(full, "rb") as f:
            data = f.read()
        with open(os.path.join(os.path.dirname(full), text), encoding="utf-8", newline="") as f:
            files.append({"path": full, "kind": kind, "language": language, "encoding": encoding, "data": data,
                          "text": f.read()})
    paths = [f["path"] for f in files]

    detectors = [("Tarvo", run_batches([tarvoconv, "--detect"], paths, tarvo_parse))]
    detectors.append(("uchardet", run_batches(["uchardet"], paths, uchardet_parse)))
    enca = {}
    for language, option in (("ru", "russian"), ("uk", "ukrainian"), ("sr", "russian")):
        mine = [f["path"] for f in files if f["language"] == language]
        got = run_batches(["enca", "-e", "-L", option], mine, enca_parse)
        if got is None:
            enca = None
            break
        enca.update(got)
    detectors.append(("enca -L", enca))
    detectors.append(("chardet", run_batches(["chardetect"], paths, chardet_parse, batch=50)))
    detectors = [(name, answers) for name, answers in detectors if answers is not None]

    kinds = sorted(set(f["kind"] for f in files))
    results = defaultdict(lambda: defaultdict(lambda: [0, 0, 0]))  # [detector][kind] = right, none, wrong
    confident_wrong = defaultdict(int)
    calibration = defaultdict(lambda: [0, 0])
    shown = defaultdict(int)
    for f in files:
        for name, answers in detectors:
            answer = answers.get(f["path"])
            confidence = 100
            if name == "Tarvo":
                answer, confidence = answer if answer else (None, 0)
            codec = codec_of(answer)
            if codec is None:
                outcome = 1
            else:
                outcome = 0 if right_in_text(codec, f["data"], f["text"]) else 2
            for kind in (f["kind"], "all"):
                results[name][kind][outcome] += 1
            if name == "Tarvo" and codec is not None:
                calibration[confidence][0] += 1
                calibration[confidence][1] += outcome == 0
                if outcome == 2 and confidence >= 90:
                    confident_wrong[f["kind"]] += 1
                    confident_wrong["all"] += 1
            if name == "Tarvo" and outcome != 0 and shown[f["kind"]] < mistakes:
                shown[f["kind"]] += 1
                print("%s (%s, %s): %s %s%%" % (f["path"], f["language"], f["encoding"], answer, confidence),
                      file=sys.stderr)

    print("Files of %s: right / no answer / wrong\n" % folder)
    print("| Kind | Files |" + "".join(" %s |" % name for name, _ in detectors) + " Tarvo wrong at >= 90 |")
    print("| --- | ---: |" + " ---: |" * (len(detectors) + 1))
    for kind in kinds + ["all"]:
        total = sum(results["Tarvo"][kind])
        cells = []
        for name, _ in detectors:
            right, none, wrong = results[name][kind]
            cells.append("%d / %d / %d" % (right, none, wrong))
        print("| %s | %d | %s | %d |" % (kind, total, " | ".join(cells), confident_wrong[kind]))

    print("\nTarvo's confidence against how often it is right (answers / right):\n")
    print("| Confidence | Answers | Right |\n| --- | ---: | ---: |")
    bounds = [0, 50, 60, 70, 80, 90, 95, 99, 100, 101]
    for low, high in zip(bounds, bounds[1:]):
        answers = sum(calibration[c][0] for c in range(low, high))
        right = sum(calibration[c][1] for c in range(low, high))
        if answers:
            print("| %d..%d | %d | %.2f %% |" % (low, high - 1, answers, 100.0 * right / answers))


if __name__ == "__main__":
    main()
