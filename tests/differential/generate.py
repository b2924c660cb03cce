#!/usr/bin/env python3
"""Writes extracts and CSVs of every visible form for the differential run:
each field's values drawn from a pool for its type code, good ones mostly,
and some that are rejected or warned about, empty records and a short
tail among them.
    generate.py BQDM OUTPUT_FOLDER SEED
"""
import random
import subprocess
import sys

POOL = {
    "$": ["ACME CORP", "JOSE\xc9", "", "  padded  ", "O'NEIL, JR"],
    "C": ["125.00", "1,234.56", "-3.5", "$12", "abc", "", "1.23E+05"],
    "c": ["125", "12.5", "", "x"], "u": ["123", "", "12a"], "w": ["12", "", "1.5"],
    "#": ["5", "", "-1", "x"], "E": ["1", "0", "", "Y"], "O": ["1", "", "2"], "o": ["0", "1", ""],
    "h": ["1", "", "X"], "p": ["50", "", "101"], "I": ["X", "", "1", "y"], "b": ["1", "0", "", "T"],
    "D": ["12/31/2018", "2018-01-05", "13/45/2018", "", "43101"],
    "d": ["12/31/2018", "", "1/1/18"], "n": ["123456789", "123-45-6789", "12345", ""],
    "N": ["123456789", "12-3456789", ""], "T": ["1", "2", "", "9"], "Y": ["2018", "18", "", "20x8"],
    "y": ["2017", "", "1899"], "g": ["A", "", "ZZ"], "e": ["x", ""], "k": ["A1", ""],
    "9": ["123456789", ""], "v": ["ABCD", ""],
}


def Value(rng, code):
    pool = POOL.get(code, ["x"])
    # A good value mostly, so that some extracts pass and reach their warnings.
    return pool[0] if rng.random() < 0.85 else rng.choice(pool)


def main():
    bqdm, folder, seed = sys.argv[1], sys.argv[2], int(sys.argv[3])
    rng = random.Random(seed)
    forms = subprocess.run([bqdm, "forms"], capture_output=True, check=True).stdout.decode("latin-1").split("\n")
    for number, form in enumerate(f for f in forms if f):
        fields = []
        for line in subprocess.run([bqdm, "fields", form], capture_output=True,
                                   check=True).stdout.decode("latin-1").splitlines():
            index, code, caption = line.split("\t", 2)
            fields.append((code, caption))
        ticks = [rng.random() < 0.6 for _ in fields]
        ticks[0] = True
        chosen = [f for f, t in zip(fields, ticks) if t]
        records = []
        for r in range(rng.choice([1, 3, 7])):
            empty = rng.random() < 0.15
            records.append(["" if empty else Value(rng, code) for code, _ in chosen])
        name = f"{folder}/f{number:02d}"
        lines = [f"FORM {form}", f"KEY {len(fields):03d}" + "".join("1" if t else "0" for t in ticks),
                 "{BEGIN DATA}"] + [v for record in records for v in record] + ["{END DATA}"]
        with open(name + ".txt", "wb") as out:
            out.write(("\r\n".join(lines) + "\r\n").encode("latin-1"))
        with open(name + ".csv", "wb") as out:
            rows = [[c for _, c in chosen]] + records
            out.write(("\r\n".join(",".join('"' + v.replace('"', '""') + '"' for v in row)
                                   for row in rows) + "\r\n").encode("latin-1"))
        with open(name + ".form", "w") as out:
            out.write(form)


main()
