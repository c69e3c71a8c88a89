#!/usr/bin/python3
"""Checks a written XLS file with independent readers (olefile, xlrd).

usage: check_xls.py FILE EXPECTATIONS

EXPECTATIONS holds tab-separated lines:
  sheets  N                        the workbook has N sheets
  name    SHEET  NAME              sheet SHEET (0-based) is called NAME
  cell    SHEET  ROW  COL  KIND  VALUE  FILL  HALIGN  VALIGN
          KIND: text, number, bool, empty (blank or absent); a line feed
          in a text VALUE is written as \\n
          FILL: the solid fill's palette entry, or - for no fill, or * to skip
          HALIGN, VALIGN: xlrd alignment codes, or * to skip
  width   SHEET  COL  UNITS            column width in 1/256 of a character
  merged  SHEET  R1  R2  C1  C2        a merged area (xlrd's half-open form)
  rows    SHEET  N                     the sheet has N rows
Prints every mismatch and exits 1 when there is one; exits 3 when a reader
module is missing.
"""
import sys

try:
    import xlrd
    from workbook_container import container_problems
except ImportError as error:  # fail loudly: the check would prove nothing
    print("missing reader module: %s (install python3-xlrd and python3-olefile)" % error)
    sys.exit(3)


def main(path, expectations_path):
    problems = container_problems(path)
    if problems is None:
        print("not a compound file")
        return 1
    book = xlrd.open_workbook(path, formatting_info=True)
    kinds = {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number", xlrd.XL_CELL_BOOLEAN: "bool",
             xlrd.XL_CELL_EMPTY: "empty", xlrd.XL_CELL_BLANK: "empty"}
    checks = 0
    with open(expectations_path, encoding="utf-8") as lines:
        for line in lines:
            f = line.rstrip("\n").split("\t")
            checks += 1
            if f[0] == "sheets":
                if book.nsheets != int(f[1]):
                    problems.append("sheets: %d, expected %s" % (book.nsheets, f[1]))
            elif f[0] == "name":
                name = book.sheet_by_index(int(f[1])).name
                if name != f[2]:
                    problems.append("sheet %s name %r, expected %r" % (f[1], name, f[2]))
            elif f[0] == "rows":
                rows = book.sheet_by_index(int(f[1])).nrows
                if rows != int(f[2]):
                    problems.append("sheet %s rows %d, expected %s" % (f[1], rows, f[2]))
            elif f[0] == "cell":
                problems += check_cell(book, kinds, f)
            elif f[0] == "width":
                sheet = book.sheet_by_index(int(f[1]))
                info = sheet.colinfo_map.get(int(f[2]))
                width = info.width if info else None
                if width != int(f[3]):
                    problems.append("sheet %s column %s width %s, expected %s" % (f[1], f[2], width, f[3]))
            elif f[0] == "merged":
                sheet = book.sheet_by_index(int(f[1]))
                area = tuple(int(x) for x in f[2:6])
                if area not in [tuple(m) for m in sheet.merged_cells]:
                    problems.append("sheet %s: merged area %s missing in %s" % (f[1], area, sheet.merged_cells))
            else:
                problems.append("unknown expectation line: %r" % line)
            if len(problems) > 20:
                break
    if not problems and checks == 0:
        problems.append("no expectations: nothing was checked")
    for problem in problems[:20]:
        print(problem)
    if not problems:
        print("OK %d checks" % checks)
    return 1 if problems else 0


def check_cell(book, kinds, f):
    sheet = book.sheet_by_index(int(f[1]))
    row, col, kind, value, fill, halign, valign = int(f[2]), int(f[3]), f[4], f[5], f[6], f[7], f[8]
    value = value.replace("\\n", "\n")
    where = "sheet %s cell (%d,%d)" % (f[1], row, col)
    if row >= sheet.nrows or col >= sheet.ncols:
        return [] if kind == "empty" else ["%s: outside the sheet" % where]
    cell = sheet.cell(row, col)
    problems = []
    if kinds.get(cell.ctype) != kind:
        problems.append("%s: kind %s, expected %s" % (where, kinds.get(cell.ctype, cell.ctype), kind))
    elif kind == "text" and cell.value != value:
        problems.append("%s: text %r, expected %r" % (where, cell.value, value))
    elif kind in ("number", "bool") and float(cell.value) != float(value):
        problems.append("%s: value %r, expected %s" % (where, cell.value, value))
    xf = book.xf_list[cell.xf_index]
    if fill != "*":
        actual = str(xf.background.pattern_colour_index) if xf.background.fill_pattern == 1 else "-"
        if actual != fill:
            problems.append("%s: fill %s, expected %s" % (where, actual, fill))
    if halign != "*" and xf.alignment.hor_align != int(halign):
        problems.append("%s: horizontal alignment %d, expected %s" % (where, xf.alignment.hor_align, halign))
    if valign != "*" and xf.alignment.vert_align != int(valign):
        problems.append("%s: vertical alignment %d, expected %s" % (where, xf.alignment.vert_align, valign))
    return problems


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
