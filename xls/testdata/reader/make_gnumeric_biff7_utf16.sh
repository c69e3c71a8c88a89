#!/bin/sh
# Makes gnumeric_biff8_utf16.xls and gnumeric_biff7_utf16.xls from
# gnumeric_biff7_utf16_source.gnumeric (Gnumeric's ssconvert).
# Gnumeric's BIFF7 export keeps the code page of the workbook it read: the
# BIFF8 workbook (code page 1200) saved as BIFF7 declares code page 1200 and
# holds its ASCII texts as 8-bit bytes, every other text as UTF-16LE bytes
# counted in bytes. Saving the source as BIFF7 directly would give the
# locale's code page (1252 under C.UTF-8) and turn Polish letters into "?".
set -eu
cd "$(dirname "$0")"
ssconvert --export-type=Gnumeric_Excel:excel_biff8 gnumeric_biff7_utf16_source.gnumeric gnumeric_biff8_utf16.xls
ssconvert --export-type=Gnumeric_Excel:excel_biff7 gnumeric_biff8_utf16.xls gnumeric_biff7_utf16.xls
