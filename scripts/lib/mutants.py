#!/usr/bin/env python3
"""Single-token faults for scripts/mutate.sh.

  mutants.py pick SRC_DIR COUNT > scripts/mutants.txt   choose a fixed set once
  mutants.py apply SRC_DIR LIST ID                      plant one (prints the file it changed)

A mutant is named by the text of its line (leading blanks dropped), which must stand exactly
once in the portable sources, so the list survives files being moved or split; the column
and the old token guard against a line that changed. Lines of the list are tab-separated:
id, kind, column, old, new, line text.
"""
import os
import random
import re
import sys

# Each kind: a pattern for the token and what replaces it.
SWAPS = {
    "<=": "<", ">=": ">", "==": "!=", "!=": "==", "&&": "||", "||": "&&",
    "true": "false", "false": "true",
}
TOKEN = re.compile(r"(?<![<>])<=|(?<![<>])>=|==|!=|&&|\|\||(?<= )[<>](?= )|\btrue\b|\bfalse\b"
                   r"|(?<=[\w)\]] )[-+](?= [\w(])|(?<![\w.])\d+(?![\w.])")
CALL_LINE = re.compile(r"^[A-Za-z_][\w:.>\-]*\([^;]*\);$")


def sources(src):
    for folder, dirs, files in os.walk(src):
        dirs[:] = sorted(d for d in dirs if d != "win32")
        for name in sorted(files):
            if name.endswith(".cpp") or name.endswith(".h"):
                yield os.path.join(folder, name)


def replacement(token):
    if token in SWAPS:
        return SWAPS[token]
    if token in ("<", ">"):
        return token + "="
    if token in ("+", "-"):
        return "-" if token == "+" else "+"
    return str(int(token) + 1)  # an off-by-one constant


def candidates(src):
    counts, found = {}, []
    for path in sources(src):
        with open(path, encoding="utf-8") as f:
            lines = [line.strip() for line in f]
        for text in lines:
            counts[text] = counts.get(text, 0) + 1
        for text in lines:
            if (not text or text.startswith(("//", "#", "*", "/*", "static_assert", "template"))
                    or "\t" in text):
                continue
            if CALL_LINE.match(text) and not text.startswith(("return", "delete")):
                found.append((path, "drop-call", 0, text, ";", text))
            for m in TOKEN.finditer(text):
                if text.find("//") != -1 and m.start() > text.find("//"):
                    break
                if text[:m.start()].count('"') % 2:
                    continue  # inside a string
                kind = "constant" if m.group().isdigit() else "operator"
                found.append((path, kind, m.start(), m.group(), replacement(m.group()), text))
    return [c for c in found if counts[c[5]] == 1]


def pick(src, count):
    pool = candidates(src)
    rng = random.Random(20261206)
    by_file = {}
    for c in pool:
        by_file.setdefault(c[0], []).append(c)
    total = len(pool)
    chosen = []
    for path, items in sorted(by_file.items()):
        share = max(1, round(count * len(items) / total))
        chosen += rng.sample(items, min(share, len(items)))
    for i, (path, kind, col, old, new, text) in enumerate(chosen, 1):
        print(f"M{i:03d}\t{kind}\t{col}\t{old}\t{new}\t{text}")


def apply(src, listing, ident):
    with open(listing, encoding="utf-8") as f:
        rows = [line.rstrip("\n").split("\t") for line in f if line.strip()]
    row = next((r for r in rows if r[0] == ident), None)
    if row is None:
        sys.exit(f"no mutant {ident}")
    _, kind, col, old, new, text = row
    col = int(col)
    hits = []
    for path in sources(src):
        with open(path, encoding="utf-8") as f:
            lines = f.readlines()
        for n, line in enumerate(lines):
            if line.strip() == text:
                hits.append((path, lines, n))
    if len(hits) != 1:
        sys.exit(f"{ident}: line found {len(hits)} times: {text}")
    path, lines, n = hits[0]
    line = lines[n]
    indent = len(line) - len(line.lstrip())
    start = indent + col
    if kind == "drop-call":
        lines[n] = line[:indent] + new + "\n"
    elif line[start:start + len(old)] != old:
        sys.exit(f"{ident}: no '{old}' at column {col}: {text}")
    else:
        lines[n] = line[:start] + new + line[start + len(old):]
    with open(path, "w", encoding="utf-8") as f:
        f.writelines(lines)
    print(path)


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "pick":
        pick(sys.argv[2], int(sys.argv[3]))
    elif len(sys.argv) == 5 and sys.argv[1] == "apply":
        apply(sys.argv[2], sys.argv[3], sys.argv[4])
    else:
        sys.exit(__doc__)
