#!/usr/bin/env python3
"""Writes the large benchmark sources of qelc.

    generate.py KIND SCALE DIR

KIND is one of the names in GENERATORS; SCALE multiplies the size of the input
(1 is the reference size, 4 the same input four times larger and the size the
benchmark reports). Texts come from
small vocabularies, because the string pool of an output file holds 32000 bytes.
"""
import os
import sys

WORDS = ["clk", "rst", "data", "addr", "irq", "sel", "wr", "rd", "en", "cs"]


def write(path, chunks):
    with open(path, "w", newline="\n") as out:
        for chunk in chunks:
            out.write(chunk)


def softip_inputs(scale, folder):
    """One soft-IP module with 250,000 x SCALE Input lines."""
    lines = 250_000 * scale

    def chunks():
        yield "Big {\n  Module : { big : 1 ; }\n  Input : {\n"
        for i in range(lines):
            a, b, c = WORDS[i % 10], WORDS[(i // 10) % 10], WORDS[(i // 100) % 10]
            yield f"    {a}_{b} : wire : in{c[0]} : {c} : {i % 7} : : {b} ;\n"
        yield "  }\n}\n"

    write(os.path.join(folder, "inputs.ipf"), chunks())
    return "inputs.ipf"


def softip_modules(scale, folder):
    """25,000 x SCALE modules with a Module statement, two ports and a macro."""
    modules = 25_000 * scale

    def chunks():
        for i in range(modules):
            name = f"M{i % 500}"
            w = WORDS[i % 10]
            yield (f"{name} {{\n"
                   f"  Module : {{ {name.lower()} : {i % 100} ; }}\n"
                   f"  Input : {{ {w} : wire : in : 1 : ; }}\n"
                   f"  Output : {{ q_{w} : reg : out : 1 : 0 : 0 : ; }}\n"
                   f"  Macro : {{ MacroName ( a , b ) {{\n"
                   f"    _when PACKAGE is 'P{i % 20}' : 'assign {w} = a;' , 'assign b = {w};'\n"
                   f"  }} }}\n"
                   f"}}\n")

    write(os.path.join(folder, "modules.ipf"), chunks())
    return "modules.ipf"


def softip_categories(scale, folder):
    """One SoftIPCategory section of 25,000 x SCALE entries with distinct numbers.

    The numbers go up in quarters (1.0, 1.25, 1.5, ...): exact as floats, whose
    bits then end in runs of zeros, a hard case for hashing them to find repeats.
    """
    entries = 25_000 * scale

    def chunks():
        yield "SoftIPCategory {\n"
        for i in range(entries):
            yield f"  {1 + i / 4} : {WORDS[i % 10]} = '{WORDS[(i // 10) % 10]} blocks'\n"
        yield "}\n"

    write(os.path.join(folder, "categories.ipf"), chunks())
    return "categories.ipf"


def defines(scale, folder):
    """5,000 x SCALE defines, 25,000 x SCALE lines using them, 60 nested includes."""
    count = 5_000 * scale
    lines = 25_000 * scale
    for level in range(1, 61):
        body = f"#define CHAIN{level} c{level}\n"
        if level < 60:
            body += f'#include "chain{level + 1}.h"\n'
        write(os.path.join(folder, f"chain{level}.h"), [body])

    def chunks():
        yield '#include "chain1.h"\n'
        for i in range(count):
            yield f"#define D{i} value{i % 97}\n"
        yield "Device Big\nStringQuote {\n"
        # The line starts with a plain word: after a rewritten first word the
        # preprocessor leaves the next word as it is, and every use should count.
        for i in range(lines):
            a, b, c = (i * 7) % count, (i * 13) % count, (i * 31) % count
            yield f"  x{i % 10} D{a} [D{b}] D{c} CHAIN{i % 60 + 1} ;\n"
        yield "}\n"

    write(os.path.join(folder, "defines.daf"), chunks())
    return "defines.daf"


def daf_tables(scale, folder):
    """The big DAF tables filled to their capacities, the whole set SCALE times.

    Pin numbers: 9 When blocks of 149 rows. Pins: 150 groups of 16 names, each
    with 10 conditions of 20 categories of 8 selections (over the 20 type
    categories). Memory maps: Always and 18 When clauses of 9 maps of 30
    entries. One more of any of these is refused. Each repetition of the set
    fills the same tables again.
    """
    def section_set():
        yield "PinNumberByPackage {\n"
        for block in range(9):
            yield f"  When PACKAGE is 'P{block}' :\n"
            yield ",\n".join(f"    P{block} : {row + 1} : 'S{row % 50}'" for row in range(149))
            yield "\n"
        yield "}\n"
        yield "TypeCategory {\n" + "".join(f"  CAT{c} = 'v{c}'\n" for c in range(20)) + "}\n"
        yield "Pin {\n"
        for group in range(150):
            names = " : ".join(f"PA{(group * 16 + n) % 300}" for n in range(16))
            yield f"  {names} : {{\n"
            for cond in range(10):
                prefix = "" if cond == 0 else "else "
                yield f"    {prefix}if PN[{cond}] is 'X{cond}'\n"
                for cat in range(20):
                    sels = " , ".join(f"T{(cat + s) % 40}" for s in range(8))
                    yield f"      CAT{cat} : {sels}\n"
            yield "  }\n"
        yield "}\n"
        yield "MemoryMap {\n  Always :\n"
        for cond in range(19):
            if cond:
                yield f"  When DEV is 'D{cond}' :\n"
            for m in range(9):
                sep = "    ," if m else "   "
                yield (f"{sep} {{ Number : {m + 1} Title : 'Map {m}' "
                       f"Description : 'Flash', ' bank {m}' Main : 'M{m}' Secondary : 'S{m}'\n")
                for e in range(30):
                    yield f"      F{e % 10} : 0x{e:04X} : 'R{e % 5}' : 4 : rw : a{e % 3} : b\n"
                yield "    }\n"
        yield "}\n"

    def chunks():
        yield "Device Big\n"
        for _ in range(scale):
            yield from section_set()

    write(os.path.join(folder, "tables.daf"), chunks())
    return "tables.daf"


GENERATORS = {
    "softip-inputs": softip_inputs,
    "softip-modules": softip_modules,
    "softip-categories": softip_categories,
    "defines": defines,
    "daf-tables": daf_tables,
}

if __name__ == "__main__":
    kind, scale, folder = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    os.makedirs(folder, exist_ok=True)
    print(GENERATORS[kind](scale, folder))
