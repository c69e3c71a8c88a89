"""Lists a compound file as python3-olefile sees it.

usage: olefile_dump.py <file> <output folder>

Prints one line per element, tab-separated, in UTF-8:
  header  <sector size> <FAT sectors> <DIFAT sectors>
  storage <path>
  stream  <path> <file in the output folder holding the stream's bytes>
Paths join names with "/". olefile is asked to raise on every defect it notices.
Exit status 3 when olefile is missing, 4 when the file is not a compound file.
"""
import os
import sys

try:
    import olefile
except ImportError:
    print("python3-olefile is not installed for " + sys.executable, file=sys.stderr)
    sys.exit(3)

path, out = sys.argv[1], sys.argv[2]
if not olefile.isOleFile(path):
    print("olefile: not a compound file: " + path, file=sys.stderr)
    sys.exit(4)
ole = olefile.OleFileIO(path, raise_defects=olefile.DEFECT_POTENTIAL)
lines = ["header\t%d\t%d\t%d" % (ole.sector_size, ole.num_fat_sectors, ole.num_difat_sectors)]
for number, entry in enumerate(ole.listdir(streams=True, storages=True)):
    name = "/".join(entry)
    if ole.get_type(entry) == olefile.STGTY_STREAM:
        target = os.path.join(out, "%d.bin" % number)
        with open(target, "wb") as f:
            f.write(ole.openstream(entry).read())
        lines.append("stream\t%s\t%s" % (name, target))
    else:
        lines.append("storage\t%s" % name)
ole.close()
sys.stdout.buffer.write(("\n".join(lines) + "\n").encode("utf-8"))
