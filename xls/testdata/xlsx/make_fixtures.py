#!/usr/bin/python3
"""Builds the .xlsx fixtures of the reader tests with independent programs
(python3-openpyxl, python3-xlsxwriter, Gnumeric's ssconvert, LibreOffice) and,
for the pair tests, the same sheets saved as .xls by ssconvert (LibreOffice
saves its own pair from the same source). Run it in this folder;
the files it writes are kept in the repository."""
import datetime
import os
import shutil
import subprocess
import zipfile

import openpyxl
from openpyxl.styles import PatternFill
import xlsxwriter

GREEN = PatternFill(fill_type="solid", fgColor="00FF00")
RED = PatternFill(fill_type="solid", fgColor="FF0000")


def openpyxl_list():
    """Numbers, shared strings, a bright-green cell, a boolean, a date, rich text."""
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "Lista"
    sheet["A1"] = 600123456
    sheet["A2"] = "48600123456"
    sheet["A3"] = 600123457
    sheet["A3"].fill = GREEN
    sheet["A4"] = True
    sheet["A5"] = datetime.date(2024, 3, 1)
    sheet["A5"].number_format = "yyyy-mm-dd"
    sheet["A6"] = "Łódź 600"
    sheet["A7"] = 12.5
    sheet["A8"] = "60012345"
    sheet["A8"].fill = RED
    sheet["B1"] = "opis"
    book.create_sheet("Druga")["A1"] = "not read by the import"
    book.save("openpyxl_list.xlsx")


def openpyxl_empty_first_row():
    book = openpyxl.Workbook()
    sheet = book.active
    sheet["A2"] = 600123456
    sheet["A3"] = "600123457"
    book.save("openpyxl_empty_first_row.xlsx")


def xlsxwriter_inline_formula():
    """Inline strings (constant-memory mode) and a formula with its cached value."""
    book = xlsxwriter.Workbook("xlsxwriter_inline_formula.xlsx", {"constant_memory": True})
    sheet = book.add_worksheet("Numery")
    green = book.add_format({"bg_color": "#00FF00", "pattern": 1})
    date = book.add_format({"num_format": "dd.mm.yyyy"})
    sheet.write_string(0, 0, "600123456")
    sheet.write_formula(1, 0, "=A1+1", None, 600123457)
    sheet.write_formula(2, 0, '="48"&A1', None, "48600123456")
    sheet.write_number(3, 0, 600123458, green)
    sheet.write_datetime(4, 0, datetime.datetime(2023, 12, 24), date)
    sheet.write_boolean(5, 0, False)
    book.close()


def gnumeric_from_csv():
    """ssconvert's own .xlsx writer: shared strings and numbers from a CSV list."""
    with open("gnumeric_source.csv", "w", encoding="utf-8") as out:
        out.write("600123456\n48600123456\nZażółć\n601000000\n")
    subprocess.run(["ssconvert", "-T", "Gnumeric_Excel:xlsx2", "gnumeric_source.csv", "gnumeric_list.xlsx"],
                   check=True, capture_output=True)
    os.remove("gnumeric_source.csv")


def second_entry_first():
    """The workbook's first sheet lives in the entry named sheet2.xml and the
    second in sheet1.xml: the order must come from workbook.xml."""
    book = openpyxl.Workbook()
    book.active.title = "Pierwszy"
    book.active["A1"] = "600111111"
    book.create_sheet("Drugi")["A1"] = "600222222"
    book.save("tmp.xlsx")
    swap = {"worksheets/sheet1.xml": "worksheets/sheetX.xml", "worksheets/sheet2.xml": "worksheets/sheet1.xml"}
    with zipfile.ZipFile("tmp.xlsx") as source, zipfile.ZipFile("second_entry_first.xlsx", "w",
                                                                zipfile.ZIP_DEFLATED) as target:
        for item in source.infolist():
            data = source.read(item.filename)
            name = item.filename
            for old, new in swap.items():
                if name.endswith(old):
                    name = name[: -len(old)] + new
                    break
            if name.endswith(".rels") or name == "[Content_Types].xml":
                text = data.decode("utf-8")
                for old, new in swap.items():
                    text = text.replace(old, new)
                data = text.replace("worksheets/sheetX.xml", "worksheets/sheet2.xml").encode("utf-8")
            if name.endswith("sheetX.xml"):
                name = name.replace("sheetX.xml", "sheet2.xml")
            target.writestr(name, data)
    os.remove("tmp.xlsx")


def libreoffice_list():
    """LibreOffice's .xlsx and .xls of one source (libreoffice_list.fods): an
    empty first row, numbers, shared strings, bright-green and red fills,
    formulas with cached results, a date, a boolean. (A formula with a text
    result is left out: LibreOffice's .xls export of a document it has not
    recalculated writes 0 as that result.)"""
    profile = "file:///tmp/talvane-fixtures-libreoffice-profile"
    for target in ["xlsx", "xls:MS Excel 97"]:
        subprocess.run(["soffice", "-env:UserInstallation=" + profile, "--headless", "--convert-to", target,
                        "--outdir", ".", "libreoffice_list.fods"], check=True, capture_output=True)


def xls_pairs():
    """The same sheets saved as .xls by ssconvert, for the pair tests."""
    for name in ["openpyxl_list", "xlsxwriter_inline_formula", "gnumeric_list", "openpyxl_empty_first_row"]:
        subprocess.run(["ssconvert", "-T", "Gnumeric_Excel:excel_biff8", name + ".xlsx", name + ".xls"],
                       check=True, capture_output=True)


def rewrite(source, target, change):
    """A copy of package `source` with parts changed: change(name, data)
    gives the new data, or None to leave the part out."""
    with zipfile.ZipFile(source) as src, zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as out:
        for item in src.infolist():
            data = change(item.filename, src.read(item.filename))
            if data is not None:
                out.writestr(item.filename, data)


def patch_declared_size(path, part, size):
    """Makes the zip headers of `part` claim `size` unpacked bytes."""
    data = bytearray(open(path, "rb").read())
    name = part.encode()
    for signature, size_at, name_at in ((b"PK\x03\x04", 22, 30), (b"PK\x01\x02", 24, 46)):
        at = data.find(signature)
        while at >= 0:
            if data[at + name_at: at + name_at + len(name)] == name:
                data[at + size_at: at + size_at + 4] = size.to_bytes(4, "little")
            at = data.find(signature, at + 4)
    open(path, "wb").write(bytes(data))


def hostile():
    """Damaged and hostile packages, all derived from openpyxl_list.xlsx."""
    sheet = "xl/worksheets/sheet1.xml"
    whole = open("openpyxl_list.xlsx", "rb").read()
    open("hostile_truncated.xlsx", "wb").write(whole[: len(whole) // 2])
    rewrite("openpyxl_list.xlsx", "hostile_missing_sheet.xlsx", lambda n, d: None if n == sheet else d)
    deep = b"<worksheet>" + b"<a>" * 100000 + b"</a>" * 100000 + b"</worksheet>"
    rewrite("openpyxl_list.xlsx", "hostile_deep.xlsx", lambda n, d: deep if n == sheet else d)
    laughs = (b'<?xml version="1.0"?><!DOCTYPE sst [<!ENTITY a "aaaaaaaaaa">'
              + b"".join(b'<!ENTITY %c "&%c;&%c;&%c;&%c;&%c;&%c;&%c;&%c;&%c;&%c;">' % ((ord("a") + i + 1,) + (ord("a") + i,) * 10)
                         for i in range(9))
              + b"]><worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&j;</t></is></c></row></sheetData></worksheet>")
    rewrite("openpyxl_list.xlsx", "hostile_entities.xlsx",
            lambda n, d: laughs if n == sheet else d)
    shutil.copy("openpyxl_list.xlsx", "hostile_huge_declared.xlsx")
    patch_declared_size("hostile_huge_declared.xlsx", sheet, 0xFFFFFF00)
    rewrite("openpyxl_list.xlsx", "hostile_bad_xml.xlsx",
            lambda n, d: d.replace(b"</sheetData>", b"</sheetDat>") if n == sheet else d)


def rows_past_the_sheet():
    """A list with a value in row 70,000, past the 65,536 rows a sheet holds,
    and one whose only cell down there is a formatted blank."""
    sheet = "xl/worksheets/sheet1.xml"
    rewrite("openpyxl_list.xlsx", "rows_past_the_sheet.xlsx",
            lambda n, d: d.replace(b"</sheetData>", b'<row r="70000"><c r="A70000"><v>600170000</v></c></row>'
                                   b"</sheetData>") if n == sheet else d)
    rewrite("openpyxl_list.xlsx", "blank_rows_past_the_sheet.xlsx",
            lambda n, d: d.replace(b"</sheetData>", b'<row r="1048576"><c r="A1048576" s="0"/></row>'
                                   b"</sheetData>") if n == sheet else d)


if __name__ == "__main__":
    openpyxl_list()
    openpyxl_empty_first_row()
    xlsxwriter_inline_formula()
    gnumeric_from_csv()
    second_entry_first()
    libreoffice_list()
    xls_pairs()
    hostile()
    rows_past_the_sheet()
