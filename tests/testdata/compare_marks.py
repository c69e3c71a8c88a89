#!/usr/bin/python3
"""Checks that two marked workbooks carry the same marks, as python3-xlrd
reads them: on the first sheet, columns A to C of every row hold the same
kind and value and A the same fill colour (none, or a palette entry).

usage: compare_marks.py FIRST SECOND
Prints every difference and exits 1 when there is one, else prints OK; exits
3 when xlrd is missing.
"""
import sys

try:
    import xlrd
except ImportError as error:  # fail loudly: the check would prove nothing
    print("missing reader module: %s (install python3-xlrd)" % error)
    sys.exit(3)


def marks(path):
    book = xlrd.open_workbook(path, formatting_info=True)
    sheet = book.sheet_by_index(0)
    rows = []
    for row in range(sheet.nrows):
        cells = []
        for column in range(min(3, sheet.ncols)):
            cell = sheet.cell(row, column)
            kind = "empty" if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK) else xlrd.sheet.ctype_text[cell.ctype]
            cells.append((kind, cell.value if kind != "empty" else ""))
        background = book.xf_list[sheet.cell_xf_index(row, 0)].background
        colour = background.pattern_colour_index if background.fill_pattern else None
        # A solid fill in the automatic colour is no colour either.
        if colour in (64, 65):
            colour = None
        rows.append((cells, colour))
    while rows and all(kind == "empty" for kind, _ in rows[-1][0]) and rows[-1][1] is None:
        rows.pop()
    return rows


def main(first, second):
    a, b = marks(first), marks(second)
    problems = []
    for row in range(max(len(a), len(b))):
        left = a[row] if row < len(a) else None
        right = b[row] if row < len(b) else None
        if left != right:
            problems.append("row %d: %r != %r" % (row + 1, left, right))
    for problem in problems[:20]:
        print(problem)
    print("OK" if not problems else "%d rows differ" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
