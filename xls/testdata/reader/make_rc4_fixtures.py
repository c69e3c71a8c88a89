# The plain source (rc4_plain_source.xls is this file, enc_source.xls).
import xlwt
wb = xlwt.Workbook(encoding='utf-8')
ws = wb.add_sheet('Tajne')
for i in range(300):
    ws.write(i, 0, 600100000 + i)
    ws.write(i, 1, 'numer %d ąę' % i)
wb.save('enc_source.xls')

# Then the encrypted copies, saved by LibreOffice with a password.
import subprocess, time, uno, os
from com.sun.star.beans import PropertyValue
def prop(n, v):
    p = PropertyValue(); p.Name = n; p.Value = v; return p
proc = subprocess.Popen(['soffice', '--headless', '--invisible', '--norestore',
                         '--accept=pipe,name=talvanefx;urp;'], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
local = uno.getComponentContext()
resolver = local.ServiceManager.createInstanceWithContext('com.sun.star.bridge.UnoUrlResolver', local)
for i in range(60):
    try:
        ctx = resolver.resolve('uno:pipe,name=talvanefx;urp;StarOffice.ComponentContext'); break
    except Exception:
        time.sleep(0.5)
desktop = ctx.ServiceManager.createInstanceWithContext('com.sun.star.frame.Desktop', ctx)
src = uno.systemPathToFileUrl(os.path.abspath('enc_source.xls'))
doc = desktop.loadComponentFromURL(src, '_blank', 0, (prop('Hidden', True),))
for name, pw in [('encrypted_rc4_password.xls', 'tajne'), ('encrypted_rc4_default.xls', 'VelvetSweatshop')]:
    doc.storeToURL(uno.systemPathToFileUrl(os.path.abspath(name)),
                   (prop('FilterName', 'MS Excel 97'), prop('Password', pw)))
doc.close(True)
try: desktop.terminate()
except Exception: pass
proc.wait(timeout=30)
