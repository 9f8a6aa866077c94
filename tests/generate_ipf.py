#!/usr/bin/env python3
"""Writes random valid IPF sources: generate_ipf.py SEED COUNT FOLDER.

Each source mixes category sections and modules whose blocks come in random
order and are repeated, with words, quoted texts (apostrophes and backslashes
escaped), port lines of every length, _when conditions and shared texts, so that
the string pool's order depends on where each block stands.
"""
import os
import random
import sys

WORDS = ["clk", "reset", "data", "wire", "bus", "in", "out", "8", "1", "x", "msb", "lsb", "a.b", "q'"]


def word(r):
    if r.random() < 0.15:
        body = "".join(r.choice("ab 'c\\d;") for _ in range(r.randint(0, 6)))
        return "'" + body.replace("\\", "\\\\").replace("'", "\\'") + "'"
    return r.choice(WORDS) + (str(r.randint(0, 3)) if r.random() < 0.5 else "")


def quoted(r):
    body = "".join(r.choice("ab <=;'\\x") for _ in range(r.randint(0, 8)))
    return "'" + body.replace("\\", "\\\\").replace("'", "\\'") + "'"


def condition(r, depth=0):
    terms = []
    for _ in range(r.randint(1, 2)):
        v = r.choice(["PACKAGE", "DEV", "PN [ 3 ]", "glc"])
        if depth < 1 and r.random() < 0.2:
            terms.append("( " + condition(r, depth + 1) + " )")
        elif r.random() < 0.5:
            terms.append(f"{v} {r.choice(['is', 'isnot'])} {quoted(r)}")
        else:
            terms.append(f"{v} {r.choice(['isin', 'isnotin'])} [ {quoted(r)} {quoted(r)} ]")
    return f" {r.choice(['and', 'or'])} ".join(terms)


def port(r, output):
    line = " : ".join(word(r) for _ in range(2)) + " : " + r.choice(["in", "out", "io"]) + " : " + word(r) + " :"
    extra = r.randint(0, 3 if output else 4)
    fields = [r.choice(["", str(r.randint(0, 40))]), r.choice(["", str(r.randint(0, 40))]),
              r.choice(["", word(r)]), word(r)]
    for i in range(extra):
        line += " " + fields[i] + (" :" if i < 3 else "")
    return line + " ;"


def block(r, kind):
    if kind == "Module":
        return f"  Module : {{ {word(r)} : {r.randint(0, 255)} ; }}"
    if kind in ("Input", "Output"):
        return f"  {kind} : {{\n" + "\n".join("    " + port(r, kind == "Output") for _ in range(r.randint(1, 3))) + "\n  }"
    if kind == "Declaration":
        return "  Declaration : {\n" + "\n".join(
            f"    {word(r)} : {word(r)} : {word(r)} ;" for _ in range(r.randint(1, 3))) + "\n  }"
    if kind == "BusExtName":
        return "  BusExtName : { " + " ".join(word(r) for _ in range(r.randint(1, 3))) + " }"
    params = (" , " if r.random() < 0.5 else " ").join(word(r) for _ in range(r.randint(0, 3)))
    if kind == "Equation":
        return f"  Equation : {{ MacroName ( {params} ) ; }}"
    lines = []
    for _ in range(r.randint(0, 3)):
        when = f"_when {condition(r)} : " if r.random() < 0.5 else ""
        lines.append("      " + when + " , ".join(quoted(r) for _ in range(r.randint(1, 3))))
    return f"  Macro : {{\n    MacroName ( {params} ) {{\n" + "\n".join(lines) + "\n    }\n  }"


def source(r):
    parts = []
    numbers = set()
    for m in range(r.randint(0, 4)):
        if r.random() < 0.5:
            entries = []
            for _ in range(r.randint(1, 3)):
                n = round(r.uniform(0, 50), r.randint(0, 3))
                if n in numbers:
                    continue
                numbers.add(n)
                entries.append(f"  {n} : {word(r)} = {quoted(r)}")
            if entries:
                parts.append("SoftIPCategory {\n" + "\n".join(entries) + "\n}")
        kinds = ["Module", "Input", "Output", "Declaration", "BusExtName", "Macro", "Equation"]
        blocks = [block(r, r.choice(kinds)) for _ in range(r.randint(0, 6))]
        if sum(b.lstrip().startswith("Module") for b in blocks) > 1:
            blocks = [b for b in blocks if not b.lstrip().startswith("Module")]
        parts.append(f"M{m}{r.choice(['', 'x', '_ip'])} {{\n" + "\n".join(blocks) + "\n}")
    return "// generated\n" + "\n\n".join(parts) + "\n"


def main():
    seed, count, folder = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    r = random.Random(seed)
    os.makedirs(folder, exist_ok=True)
    for i in range(count):
        with open(os.path.join(folder, f"g{i:04d}.ipf"), "w") as f:
            f.write(source(r))


if __name__ == "__main__":
    main()
