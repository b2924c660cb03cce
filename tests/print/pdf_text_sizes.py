#!/usr/bin/env python3
"""Prints the size in points of every text a PDF shows, one per line with
its count: "9.75 136". Reads the page content streams (Flate or plain)
and follows the text and graphics state: Tf's size scaled by the text
matrix and the current transformation matrix.
    pdf_text_sizes.py FILE.pdf
"""
import collections
import re
import sys
import zlib

TOKEN = re.compile(rb"""
    \s+ | %[^\r\n]*
  | (?P<string>\((?:\\.|[^\\()]|\((?:\\.|[^\\()])*\))*\))
  | (?P<hex><[0-9A-Fa-f\s]*>)
  | (?P<dict><<|>>) | (?P<array>[\[\]])
  | (?P<name>/[^\s/\[\]()<>{}%]*)
  | (?P<number>[+-]?(?:\d+\.?\d*|\.\d+))
  | (?P<op>[A-Za-z'"*]+)
""", re.S | re.X)


def streams(pdf):
    for match in re.finditer(rb"<<(.*?)>>\s*stream\r?\n", pdf, re.S):
        start = match.end()
        end = pdf.find(b"endstream", start)
        data = pdf[start:end]
        if b"/FlateDecode" in match.group(1):
            try:
                data = zlib.decompressobj().decompress(data)
            except zlib.error:
                continue
        elif b"/Filter" in match.group(1):
            continue
        yield data


def multiply(a, b):
    return [a[0] * b[0] + a[1] * b[2], a[0] * b[1] + a[1] * b[3],
            a[2] * b[0] + a[3] * b[2], a[2] * b[1] + a[3] * b[3],
            a[4] * b[0] + a[5] * b[2] + b[4], a[4] * b[1] + a[5] * b[3] + b[5]]


def sizes(content, found):
    identity = [1, 0, 0, 1, 0, 0]
    ctm, stack, tm, size, operands = identity, [], identity, 0.0, []
    for token in TOKEN.finditer(content):
        if token.group("number"):
            operands.append(float(token.group("number")))
        elif token.group("op"):
            op = token.group("op")
            if op == b"q":
                stack.append(ctm)
            elif op == b"Q" and stack:
                ctm = stack.pop()
            elif op == b"cm" and len(operands) >= 6:
                ctm = multiply(operands[-6:], ctm)
            elif op == b"BT":
                tm = identity
            elif op == b"Tm" and len(operands) >= 6:
                tm = operands[-6:]
            elif op == b"Tf" and operands:
                size = operands[-1]
            elif op in (b"Tj", b"TJ", b"'", b'"') and size:
                m = multiply(tm, ctm)
                scale = abs(m[0] * m[3] - m[1] * m[2]) ** 0.5
                found[round(size * scale, 2)] += 1
            operands = []
        elif token.group("string") or token.group("hex") or token.group("name") or token.group("array"):
            pass


def main():
    found = collections.Counter()
    with open(sys.argv[1], "rb") as f:
        pdf = f.read()
    for content in streams(pdf):
        sizes(content, found)
    for size, count in sorted(found.items()):
        print(f"{size:g} {count}")


main()
