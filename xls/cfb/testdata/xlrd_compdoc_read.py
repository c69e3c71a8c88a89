"""Reads one root stream of a compound file with python3-xlrd's own container reader.

usage: xlrd_compdoc_read.py <file> <stream name> <output file>

Writes the stream's bytes to the output file. Any remark the reader makes about
the file (it reports irregular allocation tables and directories) is printed
and makes the exit status 5; 3 when xlrd is missing.
"""
import io
import sys

try:
    from xlrd import compdoc
except ImportError:
    print("python3-xlrd is not installed for " + sys.executable, file=sys.stderr)
    sys.exit(3)

path, name, out = sys.argv[1], sys.argv[2], sys.argv[3]
log = io.StringIO()
with open(path, "rb") as f:
    doc = compdoc.CompDoc(f.read(), logfile=log)
data = doc.get_named_stream(name)
if data is None:
    print("xlrd: no stream " + name, file=sys.stderr)
    sys.exit(4)
with open(out, "wb") as f:
    f.write(data)
if log.getvalue():
    print(log.getvalue(), file=sys.stderr)
    sys.exit(5)
