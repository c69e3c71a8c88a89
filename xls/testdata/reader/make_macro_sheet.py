import olefile, struct, shutil
shutil.copy('three_sheets.xls', 'macro_between.xls')
ole = olefile.OleFileIO('macro_between.xls', write_mode=True)
data = bytearray(ole.openstream('Workbook').read())
pos = 0; sheets = []
while pos + 4 <= len(data):
    rid, ln = struct.unpack_from('<HH', data, pos)
    if rid == 0x0085:
        sheets.append(pos)
    if rid == 0 and ln == 0: break
    pos += 4 + ln
second = sheets[1]
data[second + 4 + 5] = 1            # BOUNDSHEET sheet type: Excel 4.0 macro sheet
bof = struct.unpack_from('<I', data, second + 4)[0]
assert struct.unpack_from('<H', data, bof)[0] == 0x0809
struct.pack_into('<H', data, bof + 4 + 2, 0x0040)   # BOF substream type: macro sheet
ole.write_stream('Workbook', bytes(data))
ole.close()
