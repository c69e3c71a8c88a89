#!/usr/bin/env python3
"""Prints what a workbook holds beyond plain values, as an independent
reader (xlrd, formatting_info=True) sees it: every text with formatting runs
and every error cell, one line each, in sheet, row and column order.

  rich<TAB>sheet<TAB>row<TAB>col<TAB>text<TAB>run;run;...
      a run: first character, font name, weight, italic, underline, colour index
  error<TAB>sheet<TAB>row<TAB>col<TAB>the error's text (#DIV/0!, #N/A, ...)
  plain<TAB>sheet<TAB>row<TAB>col<TAB>text   (a text without runs)
"""
import sys

import xlrd


def run_text(book, position, font_index):
    font = book.font_list[font_index]
    return "%d,%s,%d,%d,%d,%d" % (position, font.name, font.weight, font.italic, font.underline_type,
                                  font.colour_index)


def main(path):
    book = xlrd.open_workbook(path, formatting_info=True)
    for index, sheet in enumerate(book.sheets()):
        runs = sheet.rich_text_runlist_map
        for row in range(sheet.nrows):
            for col in range(sheet.ncols):
                cell = sheet.cell(row, col)
                where = "%d\t%d\t%d" % (index, row, col)
                if cell.ctype == xlrd.XL_CELL_ERROR:
                    print("error\t%s\t%s" % (where, xlrd.error_text_from_code[cell.value]))
                elif cell.ctype == xlrd.XL_CELL_TEXT and (row, col) in runs:
                    print("rich\t%s\t%s\t%s" % (where, cell.value,
                                                ";".join(run_text(book, p, f) for p, f in runs[(row, col)])))
                elif cell.ctype == xlrd.XL_CELL_TEXT:
                    print("plain\t%s\t%s" % (where, cell.value))


if __name__ == "__main__":
    main(sys.argv[1])
