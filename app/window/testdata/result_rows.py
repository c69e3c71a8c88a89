#!/usr/bin/env python3
"""Prints column A of the first sheet of a result workbook as an independent
reader (xlrd) sees it: one line per row, "value<TAB>fill", where fill names
the colour a spreadsheet program shows: green, red, orange, rose, none, or
the RGB triple of any other colour."""
import sys

import xlrd

NAMES = {(0, 255, 0): "green", (255, 0, 0): "red", (255, 102, 0): "orange", (255, 153, 204): "rose"}


def fill_of(book, cell):
    xf = book.xf_list[cell.xf_index]
    if xf.background.fill_pattern == 0:
        return "none"
    rgb = book.colour_map.get(xf.background.pattern_colour_index)
    return NAMES.get(rgb, str(rgb))


def main(path):
    book = xlrd.open_workbook(path, formatting_info=True)
    sheet = book.sheet_by_index(0)
    for row in range(sheet.nrows):
        cell = sheet.cell(row, 0)
        print(f"{cell.value}\t{fill_of(book, cell)}")


if __name__ == "__main__":
    main(sys.argv[1])
