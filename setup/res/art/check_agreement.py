#!/usr/bin/env python3
"""Checks the form of setup/res/agreement.txt.

setup.rc compiles this file unchanged into setup.exe as a raw resource, and
the agreement page shows it as it is, so its exact form is fixed here: 7,275
bytes of printable ASCII; CR LF line breaks only, 25 of them, the last one
ending the text; 13 one-line paragraphs separated by empty lines, with no
blanks at either end of a line; the first paragraph in capitals; the names
Brellic Software and Brellic Pagewright in it; no double quote and no
backslash anywhere.

    python3 check_agreement.py [path]   (default: ../agreement.txt)

Prints the problems found and exits with 1, or prints OK and exits with 0.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT = os.path.join(HERE, "..", "agreement.txt")

LENGTH = 7275
PARAGRAPHS = 13
LINE_BREAKS = 25


def check(data):
    problems = []
    if len(data) != LENGTH:
        problems.append("length is %d, not %d" % (len(data), LENGTH))
    for i, b in enumerate(data):
        if not (32 <= b <= 126 or b in (13, 10)):
            problems.append("byte %d at offset %d is not printable ASCII"
                            % (b, i))
            break
    if b'"' in data:
        problems.append("holds a double quote")
    if b"\\" in data:
        problems.append("holds a backslash")
    crlf = data.count(b"\r\n")
    if crlf != LINE_BREAKS:
        problems.append("%d CR LF line breaks, not %d" % (crlf, LINE_BREAKS))
    if data.count(b"\r") != crlf or data.count(b"\n") != crlf:
        problems.append("holds a CR or LF that is not part of a CR LF")
    if not data.endswith(b"\r\n") or data.endswith(b"\r\n\r\n"):
        problems.append("must end with exactly one CR LF")

    lines = data.split(b"\r\n")[:-1]
    # Paragraph lines at even positions, empty separators at odd ones.
    for n, line in enumerate(lines):
        if (n % 2 == 0) != bool(line.strip()):
            problems.append("line %d should be %s" %
                            (n + 1, "a paragraph" if n % 2 == 0 else "empty"))
        if line != line.strip():
            problems.append("line %d has leading or trailing blanks" % (n + 1))
    paragraphs = [l for l in lines if l]
    if len(paragraphs) != PARAGRAPHS:
        problems.append("%d paragraphs, not %d" % (len(paragraphs),
                                                   PARAGRAPHS))
    if paragraphs:
        first = paragraphs[0].decode("ascii", "replace")
        if first != first.upper() or not any(c.isalpha() for c in first):
            problems.append("the first paragraph is not in capitals")
    text = data.decode("ascii", "replace")
    for name in ("Brellic Software", "Brellic Pagewright"):
        if name not in text:
            problems.append("does not name %s" % name)
    return problems


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else DEFAULT
    with open(path, "rb") as f:
        problems = check(f.read())
    for p in problems:
        print("%s: %s" % (path, p))
    if problems:
        return 1
    print("OK")
    return 0


if __name__ == "__main__":
    sys.exit(main())
