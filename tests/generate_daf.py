#!/usr/bin/env python3
"""Writes random valid DAF sources: generate_daf.py SEED COUNT FOLDER.

Each source is `Device NAME` and a random subset, in random order, of the
sections with a little random content each: conditions of every form (is,
isnot, isin, isnotin, indexes, and/or, parentheses), rows with and without
their optional fields, quoted texts with escaped apostrophes and backslashes,
statement lists in their fixed order, Pin bodies with if / else if / else
chains over the categories of an earlier TypeCategory section. Sections come
in random order, and a third of the sources read one or more sections again
(what the later one leaves of the earlier one stays in the table). Odd values
stand beside the plain ones: empty texts and empty first entries, texts of
bytes above 127, long texts, numbers beyond 32 bits. Vocabularies are small so
that every source stays well inside the section capacities and the string pool.
"""
import os
import random
import sys

WORDS = ["clk", "rst", "data", "PA0", "PB3", "x1", "4mA", "a.b", "fast", "io"]
# Words a source may hold that a reader would not expect.
ODD_WORDS = ["\u00e9t\u00e9", "99999999999", "0x1F", "_", "a'b", "\u00b5A"]
VARIABLES = ["PACKAGE", "DEV", "PN", "GLC", "IPN", "DEVBIN", "DSI", "IN_NUM", "OUT_NUM", "dev"]


def word(r):
    if r.random() < 0.05:
        return r.choice(ODD_WORDS)
    return r.choice(WORDS) + (str(r.randint(0, 3)) if r.random() < 0.4 else "")


def text(r, chars="ab <=;'\\x.\u00e9"):
    """A quoted string; its body may be empty or long and holds escaped apostrophes and
    backslashes."""
    length = r.randint(60, 120) if r.random() < 0.03 else r.randint(0, 8)
    body = "".join(r.choice(chars) for _ in range(length))
    return "'" + body.replace("\\", "\\\\").replace("'", "\\'") + "'"


def word_or_text(r):
    return text(r) if r.random() < 0.3 else word(r)


def condition(r, depth=0):
    terms = []
    for _ in range(r.randint(1, 3)):
        v = r.choice(VARIABLES)
        if r.random() < 0.2:
            v += f" [ {r.randint(0, 9)} ]"
        roll = r.random()
        if depth < 2 and roll < 0.15:
            terms.append("( " + condition(r, depth + 1) + " )")
        elif roll < 0.25:
            terms.append(v)
        elif roll < 0.6:
            terms.append(f"{v} {r.choice(['is', 'isnot', 'IS'])} {text(r)}")
        else:
            items = " ".join(text(r) for _ in range(r.randint(0, 3)))
            terms.append(f"{v} {r.choice(['isin', 'isnotin'])} [ {items} ]")
    out = terms[0]
    for t in terms[1:]:
        out += f" {r.choice(['and', 'or', 'AND'])} {t}"
    return out


def short_condition(r):
    """A condition whose stored text (a backslash before each word) keeps within 255 characters."""
    while True:
        c = condition(r)
        if len(c) < 150:
            return c


def when(r):
    return "When : " if r.random() < 0.05 else f"When {short_condition(r)} : "


def statements(r, kinds):
    """At most one statement of each kind, in the given order."""
    out = []
    for kind in kinds:
        if r.random() < 0.4:
            rev = " , rev" if r.random() < 0.3 else ""
            out.append(f"{kind}{rev} : " + " ".join(text(r) for _ in range(r.randint(0, 3))))
    return out


def pin_number_by_package(r):
    blocks = []
    for _ in range(r.randint(1, 4)):
        pkg = r.choice(["LQFP48", "QFN24", "'BGA'", "P44"])
        rows = []
        for _ in range(r.randint(1, 6)):
            row = f"{pkg} : {r.choice([str(r.randint(0, 99)), 'A1', '12B'])}"
            roll = r.random()
            if roll < 0.5:
                row += f" : {text(r)}"
            elif roll < 0.7:
                row += f" : {r.choice(['RSV', 'rsvd', 'Rsv'])}"
            rows.append(row)
        blocks.append("  " + when(r) + "\n    " + ",\n    ".join(rows))
    return "PinNumberByPackage {\n" + "\n".join(blocks) + "\n}"


def alias(r):
    blocks = []
    for _ in range(r.randint(1, 3)):
        rows = [f"{word_or_text(r)} : {word_or_text(r)}" for _ in range(r.randint(1, 4))]
        blocks.append("  " + when(r) + "\n    " + ",\n    ".join(rows))
    return "Alias {\n" + "\n".join(blocks) + "\n}"


def extensions(r):
    rows = [f"  {text(r)} : {word_or_text(r)}" for _ in range(r.randint(0, 5))]
    if r.random() < 0.1:
        rows.insert(0, "  '' : ''")  # an empty first entry, which readers stop at
    return "Extensions {\n" + "\n".join(rows) + "\n}"


def type_category(r, categories):
    rows = [f"  {c} = {word_or_text(r)}" for c in categories]
    return "TypeCategory {\n" + "\n".join(rows) + "\n}"


def type_short_hand(r):
    rows = []
    for _ in range(r.randint(0, 6)):
        row = f"  {r.randint(0, 300)} : {word(r)}"
        if r.random() < 0.5:
            row += " : " + " , ".join(word(r) for _ in range(r.randint(1, 3)))
        rows.append(row + f" = {word_or_text(r)}")
    return "TypeShortHand {\n" + "\n".join(rows) + "\n}"


def initialize(r):
    blocks = []
    for _ in range(r.randint(1, 3)):
        lines = []
        for _ in range(r.randint(1, 6)):
            pin = f"{r.choice(['P', 'p'])}{r.randint(0, 12)}"
            attr = r.choice(["name", "nchange", "reserve", "displayname", "PinEdit", "NAME"])
            if attr in ("nchange", "PinEdit"):
                value = r.choice(["0", "1", "2x", "off"])
            else:
                value = word_or_text(r)
            rsv = f" : {r.choice(['RSV', 'rsv1'])}" if attr.lower() == "name" and r.random() < 0.3 else ""
            lines.append(f"    {pin}.{attr} = {value}{rsv} ;")
        blocks.append("  " + when(r) + "\n" + "\n".join(lines))
    return "Initialize {\n" + "\n".join(blocks) + "\n}"


def design(r, name):
    blocks = []
    n_when = r.randint(0, 3)
    has_always = r.random() < 0.6
    if has_always or n_when == 0:
        head = "  Always :\n" if has_always else ""
        lead = " ".join(word_or_text(r) for _ in range(r.randint(0, 3)))
        body = [lead] if lead else []
        body += statements(r, ["PTerm", "Decl", "Equation", "PropertyTab"])
        blocks.append(head + "".join(f"    {b}\n" for b in body))
    for _ in range(n_when):
        lead = " ".join(word_or_text(r) for _ in range(r.randint(0, 2)))
        body = [lead] if lead else []
        body += statements(r, ["PTerm", "Decl", "Equation", "PropertyTab"])
        blocks.append("  " + when(r) + "\n" + "".join(f"    {b}\n" for b in body))
    return f"{name} {{\n" + "".join(blocks) + "}"


def group(r):
    blocks = []
    if r.random() < 0.5:
        blocks.append("Always")
    blocks += ["When"] * r.randint(0, 3)
    if not blocks:
        blocks = ["When"]
    out = []
    for b in blocks:
        head = "  Always :" if b == "Always" else "  " + when(r)
        groups = []
        for _ in range(r.randint(1, 3)):
            g = f"{word(r)} : "
            if r.random() < 0.4:
                g += f"{word_or_text(r)} : "
            members = []
            for i in range(r.randint(1, 4)):
                sep = "" if i == 0 else r.choice([" ", " , ", " | "])
                members.append(f"{sep}{word_or_text(r)} : {word_or_text(r)}")
            trail = r.choice(["", " ,", " |"]) if r.random() < 0.2 else ""
            g += "{ " + "".join(members) + trail + " }"
            for s in statements(r, ["Decl", "Equation"]):
                g += " " + s
            groups.append("    " + g)
        out.append(head + "\n" + "\n".join(groups))
    return "Group {\n" + "\n".join(out) + "\n}"


def output_syntax(r):
    kinds = ["DefaultSigName", "DeclWOPinNum", "DeclWithPinNum", "DeclWOMainFlash",
             "DeclWMainFlash", "Equation", "Equation_Req", "Action"]
    entries = []
    for _ in range(r.randint(0, 4)):
        names = " ".join(f"{word(r)} :" for _ in range(r.randint(1, 2)))
        body = "".join(f"    {s}\n" for s in statements(r, kinds))
        entries.append(f"  {names} {{\n{body}  }}")
    return "OutputSyntax {\n" + "\n".join(entries) + "\n}"


def pin(r, categories):
    def cat_list():
        chosen = r.sample(categories, r.randint(1, len(categories)))
        lines = []
        for c in chosen:
            c = c if r.random() < 0.8 else c.upper()
            lines.append(f"{c} : " + " , ".join(word(r) for _ in range(r.randint(1, 4))))
        return " ".join(lines)

    groups = []
    for _ in range(r.randint(0, 4)):
        names = " ".join(f"{word_or_text(r)} :" for _ in range(r.randint(1, 3)))
        if r.random() < 0.5:
            body = cat_list()
        else:
            body = f"if {short_condition(r)} {cat_list()}"
            for _ in range(r.randint(0, 2)):
                body += f" else if {short_condition(r)} {cat_list()}"
            if r.random() < 0.6:
                body += f" else {cat_list()}"
        groups.append(f"  {names} {{ {body} }}")
    return "Pin {\n" + "\n".join(groups) + "\n}"


def type_conversion(r):
    rows = []
    for _ in range(r.randint(0, 5)):
        third = f" : {word_or_text(r)}" if r.random() < 0.5 else ""
        rows.append(f"  {word_or_text(r)} : {word_or_text(r)}{third} ;")
    return "TypeConversion {\n" + "\n".join(rows) + "\n}"


def numbered(r, name, capacity):
    rows = [f"  {r.randint(0, 99)} : {word_or_text(r)}" for _ in range(r.randint(0, min(4, capacity)))]
    sep = ",\n" if r.random() < 0.5 else "\n"
    return f"{name} {{\n" + sep.join(rows) + "\n}"


def conditional_list(r, name, words):
    blocks = []
    if name == "QelConfig" and r.random() < 0.5:
        blocks.append("  Always : " + " , ".join(word_or_text(r) for _ in range(r.randint(1, words))))
    for _ in range(r.randint(1, 3)):
        blocks.append("  " + when(r) + " , ".join(word_or_text(r) for _ in range(r.randint(1, words))))
    return f"{name} {{\n" + "\n".join(blocks) + "\n}"


def memory_map(r):
    # The memory map's texts have shorter limits: no long texts here.
    def text(r):
        return "'" + "".join(r.choice("ab <=x.") for _ in range(r.randint(0, 8))) + "'"

    def word_or_text(r):
        return text(r) if r.random() < 0.3 else r.choice(WORDS)

    def one_map():
        lines = [f"Number : {r.randint(1, 9)}", f"Title : {word_or_text(r)}",
                 "Description : " + " , ".join(text(r) for _ in range(r.randint(1, 2))),
                 f"Main : {word_or_text(r)}", f"{r.choice(WORDS)} : {word_or_text(r)}"]
        for i in range(r.randint(1, 3)):
            fields = [f"0x{r.randint(0, 65535):08X}", f"0x{r.randint(0, 65535):08X}", word_or_text(r),
                      r.choice(["RX", "RW", "'R'"]), r.choice(["-", "protected"]), f"{r.randint(1, 64)}K",
                      r.choice(WORDS)]
            if r.random() < 0.5:
                fields.append(word_or_text(r))
            sep = "," if i and r.random() < 0.3 else ""
            lines.append(sep + " : ".join(fields))
        return "  {\n" + "".join(f"    {l}\n" for l in lines) + "  }"

    blocks = []
    if r.random() < 0.5:
        blocks.append("Always")
    blocks += ["When"] * r.randint(0, 2)
    if not blocks:
        blocks = ["When"]
    out = []
    for b in blocks:
        head = "  Always :" if b == "Always" else "  " + when(r)
        out.append(head + "\n" + " ,\n".join(one_map() for _ in range(r.randint(1, 2))))
    return "MemoryMap {\n" + "\n".join(out) + "\n}"


def source(r):
    kinds = ["PinNumberByPackage", "Alias", "Extensions", "TypeShortHand", "Initialize",
             "DesignProlog", "DesignEpilog", "Group", "OutputSyntax", "TypeConversion",
             "DeviceSpecificInfoTable", "HardwareSupportTable", "PackageInfoTable",
             "VoltageRangeTable", "DeviceSpecificInfo", "HardwareSupport", "TemplateLink",
             "CCodeFileName", "CCodeExample", "QelConfig", "MemoryMap", "StringQuote"]
    chosen = r.sample(kinds, r.randint(0, 8))
    # A repeated section fills its table again from its first entry.
    if r.random() < 0.35 and chosen:
        for _ in range(r.randint(1, 3)):
            chosen.append(r.choice(chosen))
    r.shuffle(chosen)
    categories = r.sample(["IoType", "Drive", "Slew", "Pull", "Bank"], r.randint(1, 3))
    if r.random() < 0.5:
        chosen.insert(r.randint(0, len(chosen)), "TypeCategory")
        # Pin must follow TypeCategory: its bodies name the categories.
        if r.random() < 0.8:
            at = chosen.index("TypeCategory")
            chosen.insert(r.randint(at + 1, len(chosen)), "Pin")
    lists = {"DeviceSpecificInfo": 4, "HardwareSupport": 4, "TemplateLink": 4, "CCodeFileName": 2,
             "CCodeExample": 4, "QelConfig": 4}
    tables = {"DeviceSpecificInfoTable": 30, "HardwareSupportTable": 5, "PackageInfoTable": 20,
              "VoltageRangeTable": 10}
    parts = []
    for kind in chosen:
        if kind == "PinNumberByPackage":
            parts.append(pin_number_by_package(r))
        elif kind == "Alias":
            parts.append(alias(r))
        elif kind == "Extensions":
            parts.append(extensions(r))
        elif kind == "TypeCategory":
            parts.append(type_category(r, categories))
        elif kind == "Pin":
            parts.append(pin(r, categories))
        elif kind == "TypeShortHand":
            parts.append(type_short_hand(r))
        elif kind == "Initialize":
            parts.append(initialize(r))
        elif kind in ("DesignProlog", "DesignEpilog"):
            parts.append(design(r, kind))
        elif kind == "Group":
            parts.append(group(r))
        elif kind == "OutputSyntax":
            parts.append(output_syntax(r))
        elif kind == "TypeConversion":
            parts.append(type_conversion(r))
        elif kind in tables:
            parts.append(numbered(r, kind, tables[kind]))
        elif kind in lists:
            parts.append(conditional_list(r, kind, lists[kind]))
        elif kind == "MemoryMap":
            parts.append(memory_map(r))
        else:
            parts.append("StringQuote {\n  " + text(r, "ab x") + " { nested { " + word(r) + " } }\n}")
    return f"// generated\nDevice {r.choice(['QX10', 'QX100', 'Z1'])}\n\n" + "\n\n".join(parts) + "\n"


def main():
    seed, count, folder = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    r = random.Random(seed)
    os.makedirs(folder, exist_ok=True)
    for i in range(count):
        with open(os.path.join(folder, f"g{i:04d}.daf"), "w") as f:
            f.write(source(r))


if __name__ == "__main__":
    main()
