#!/usr/bin/python3
"""Checks that COPY (written by `talvane-cli xls copy ORIGINAL COPY`) holds
what ORIGINAL holds, as independent readers see both files.

usage: compare_copy.py ORIGINAL COPY [--no-comments]

COPY must be a compound file with a "Workbook" stream whose size is a
multiple of 512 (olefile) and open in xlrd. For every sheet: the same name,
and for every cell of the original the same kind and value (formulas as
their results), the same fill (pattern and colour), the same horizontal and
vertical alignment; the same column widths, comments, hyperlinks and merged
areas; the same defined names (print areas and titles included) and sheet
visibility. Numbers and
dates compare as xlrd reports them, so a date must keep its day and the
file's date system. Prints every mismatch (at most 20) and exits 1 when there
is one, else prints OK; exits 3 when a reader module is missing.
"""
import sys

try:
    import xlrd
    from workbook_container import container_problems
except ImportError as error:  # fail loudly: the check would prove nothing
    print("missing reader module: %s (install python3-xlrd and python3-olefile)" % error)
    sys.exit(3)


def fill(book, cell):
    background = book.xf_list[cell.xf_index].background
    if background.fill_pattern == 0:
        return None
    return (background.fill_pattern, background.pattern_colour_index)


def alignment(book, cell):
    a = book.xf_list[cell.xf_index].alignment
    return (a.hor_align, a.vert_align)


def value(book, cell):
    if cell.ctype == xlrd.XL_CELL_DATE:
        return xlrd.xldate_as_tuple(cell.value, book.datemode)
    if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
        return None
    return cell.value


def compare(original_path, copy_path, comments=True):
    problems = container_problems(copy_path)
    if problems is None:
        return ["the copy is not a compound file"]
    problems = ["the copy: " + problem for problem in problems]
    a = xlrd.open_workbook(original_path, formatting_info=True)
    b = xlrd.open_workbook(copy_path, formatting_info=True)
    names = lambda book: sorted((n.name, n.scope, str(n.result)) for n in book.name_obj_list)
    if names(a) != names(b):
        problems.append("names %r, expected %r" % (names(b), names(a)))
    if a.sheet_names() != b.sheet_names():
        problems.append("sheets %r, expected %r" % (b.sheet_names(), a.sheet_names()))
        return problems
    for index in range(a.nsheets):
        sa, sb = a.sheet_by_index(index), b.sheet_by_index(index)
        for row in range(sa.nrows):
            for col in range(sa.ncols):
                ca = sa.cell(row, col)
                where = "sheet %d cell (%d,%d)" % (index, row, col)
                if row >= sb.nrows or col >= sb.ncols:
                    if ca.ctype not in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                        problems.append("%s: missing in the copy" % where)
                    continue
                cb = sb.cell(row, col)
                kinds = lambda c: "empty" if c.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK) else c.ctype
                if kinds(ca) != kinds(cb) or value(a, ca) != value(b, cb):
                    problems.append("%s: %r %r, expected %r %r" % (where, cb.ctype, value(b, cb), ca.ctype, value(a, ca)))
                if ca.ctype != xlrd.XL_CELL_EMPTY:
                    if fill(a, ca) != fill(b, cb):
                        problems.append("%s: fill %r, expected %r" % (where, fill(b, cb), fill(a, ca)))
                    if alignment(a, ca) != alignment(b, cb):
                        problems.append("%s: alignment %r, expected %r" % (where, alignment(b, cb), alignment(a, ca)))
        for col, info in sa.colinfo_map.items():
            other = sb.colinfo_map.get(col)
            if other is None or other.width != info.width:
                problems.append("sheet %d column %d width %s, expected %d" % (index, col, other and other.width, info.width))
        notes = lambda s: {k: (v.text, v.author) for k, v in s.cell_note_map.items()}
        links = lambda s: sorted((h.frowx, h.fcolx, h.url_or_path, h.desc) for h in s.hyperlink_list)
        if links(sa) != links(sb):
            problems.append("sheet %d hyperlinks %r, expected %r" % (index, links(sb), links(sa)))
        if sa.visibility != sb.visibility:
            problems.append("sheet %d visibility %d, expected %d" % (index, sb.visibility, sa.visibility))
        if comments and notes(sa) != notes(sb):
            problems.append("sheet %d comments %r, expected %r" % (index, notes(sb), notes(sa)))
        if sorted(sa.merged_cells) != sorted(sb.merged_cells):
            problems.append("sheet %d merged %r, expected %r" % (index, sb.merged_cells, sa.merged_cells))
    return problems


def main(original_path, copy_path, *options):
    problems = compare(original_path, copy_path, "--no-comments" not in options)
    for problem in problems[:20]:
        print(problem)
    if not problems:
        print("OK")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
