#!/usr/bin/python3
"""Prints what python3-xlrd reads from an XLS file, one JSON line per item,
so that tests can compare a file with its copy value by value.

usage: dump_values.py FILE

Lines:
  {"datemode": 0|1}
  {"name": NAME, "scope": SHEET or -1, "kind": ..., "value": ..., "text": ...}
      a defined name as xlrd evaluates it (value: the first cell or
      constant of the result, text: xlrd's rendering of the formula)
  {"sheet": S, "row": R, "col": C, "type": CTYPE, "value": V, ...}
      every cell that is not empty: V as xlrd gives it (floats in full
      precision, texts, error codes), "error" the error's text for error
      cells, "runs" [[first character, font name, bold, italic], ...] for
      rich text
Exits 1 when xlrd cannot open the file (and prints why), 3 when xlrd is missing.
"""
import json
import sys

try:
    import xlrd
except ImportError as error:  # fail loudly: the check would prove nothing
    print("missing reader module: %s (install python3-xlrd)" % error)
    sys.exit(3)


def font_of(book, index):
    font = book.font_list[index]
    return [font.name, bool(font.bold), bool(font.italic)]


def name_line(name):
    result = name.result
    value = None
    if result is not None and result.value is not None:
        value = result.value if not isinstance(result.value, list) else repr(result.value)
    return {"name": name.name, "scope": name.scope, "kind": result.kind if result else None, "value": value,
            "text": result.text if result else None}


def main(path):
    try:
        book = xlrd.open_workbook(path, formatting_info=True)
    except Exception as error:  # the reason is what the test shows
        print("xlrd cannot open the file: %s: %s" % (type(error).__name__, error))
        return 1
    print(json.dumps({"datemode": book.datemode}))
    for name in book.name_obj_list:
        print(json.dumps(name_line(name), ensure_ascii=False))
    for s in range(book.nsheets):
        sheet = book.sheet_by_index(s)
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                    continue
                line = {"sheet": s, "row": r, "col": c, "type": cell.ctype, "value": cell.value}
                if cell.ctype == xlrd.XL_CELL_ERROR:
                    line["error"] = xlrd.error_text_from_code.get(cell.value)
                runs = sheet.rich_text_runlist_map.get((r, c))
                if runs:
                    line["runs"] = [[first] + font_of(book, font) for first, font in runs]
                print(json.dumps(line, ensure_ascii=False))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
