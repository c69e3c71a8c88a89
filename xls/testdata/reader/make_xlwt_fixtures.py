import xlwt, datetime
# 1. numbers as RK and NUMBER, texts, Polish texts, fills, alignment, widths, dates, formulas, merged, several sheets
wb = xlwt.Workbook(encoding='utf-8')
ws = wb.add_sheet('Numery')
ws.write(0, 0, 600123456)          # RK (integer)
ws.write(1, 0, 48600123456)        # NUMBER (too big for RK)
ws.write(2, 0, 1.5)                # RK /100? xlwt writes NUMBER or RK
ws.write(3, 0, '600123456')        # text
ws.write(4, 0, 'Zażółć gęślą jaźń')  # 16-bit SST
ws.write(5, 0, '£¥ café')          # compressed 8-bit in BIFF8 (Latin-1)
ws.write(6, 0, '=not a formula')   # text starting with =
ws.write(7, 0, "'apostrophe")
st = xlwt.easyxf('pattern: pattern solid, fore_colour orange; align: horiz center, vert center')
ws.write(8, 0, 'orange', st)
st2 = xlwt.easyxf('pattern: pattern solid, fore_colour red; align: horiz right, vert top')
ws.write(9, 0, 12345, st2)
ws.col(0).width = 4022
ws.col(2).width = 6000
dst = xlwt.easyxf(num_format_str='YYYY-MM-DD')
ws.write(10, 0, datetime.date(2020, 2, 29), dst)
ws.write(11, 0, xlwt.Formula('A1*2'))
ws.write(12, 0, True)
ws.write_merge(13, 14, 0, 2, 'merged')
ws.write(15, 1, None, st)          # blank with fill
ws2 = wb.add_sheet('Drugi')
for i in range(20):
    ws2.write(i, 0, 600000000 + i)
    ws2.write(i, 1, 'txt%d' % i)
wb.save('xlwt_basic.xls')

# 2. an SST spanning CONTINUE records, with 16-bit strings switching
wb = xlwt.Workbook(encoding='utf-8')
ws = wb.add_sheet('Dlugie')
for i in range(700):
    if i % 3 == 0:
        s = 'ąę' * 20 + str(i)
    else:
        s = 'plain text number %05d ' % i + 'x' * 10
    ws.write(i, 0, s)
ws.write(700, 0, 'a' * 5000 + 'ł' * 3000)
wb.save('xlwt_long_sst.xls')
import xlwt, datetime
wb = xlwt.Workbook(encoding='utf-8')
wb.dates_1904 = True
ws = wb.add_sheet('Daty1904')
d = xlwt.easyxf(num_format_str='DD.MM.YYYY')
ws.write(0, 0, datetime.date(2020, 2, 29), d)
ws.write(1, 0, 600123456)
ws.write(2, 0, 1000.0)   # General: unchanged
ws.write(3, 0, 1000.0, d)
wb.save('xlwt_1904.xls')

wb = xlwt.Workbook(encoding='utf-8')
for name in ['Pierwszy', 'Makro', 'Trzeci']:
    ws = wb.add_sheet(name)
    ws.write(0, 0, 'w ' + name)
    ws.write(1, 0, len(name))
wb.save('three_sheets.xls')
