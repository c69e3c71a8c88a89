import subprocess, time, uno, os
from com.sun.star.beans import PropertyValue
from com.sun.star.table import CellRangeAddress, CellAddress
def prop(n, v):
    p = PropertyValue(); p.Name = n; p.Value = v; return p
proc = subprocess.Popen(['soffice', '--headless', '--invisible', '--norestore',
                         '--accept=pipe,name=talvaneset;urp;'], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
local = uno.getComponentContext()
resolver = local.ServiceManager.createInstanceWithContext('com.sun.star.bridge.UnoUrlResolver', local)
for i in range(60):
    try:
        ctx = resolver.resolve('uno:pipe,name=talvaneset;urp;StarOffice.ComponentContext'); break
    except Exception:
        time.sleep(0.5)
desktop = ctx.ServiceManager.createInstanceWithContext('com.sun.star.frame.Desktop', ctx)
doc = desktop.loadComponentFromURL('private:factory/scalc', '_blank', 0, (prop('Hidden', True),))
sheet = doc.Sheets.getByIndex(0)
sheet.Name = 'Ustawienia'
for r in range(20):
    sheet.getCellByPosition(0, r).setValue(600200000 + r)
    sheet.getCellByPosition(1, r).setString('wiersz %d' % r)
area = CellRangeAddress(); area.Sheet = 0; area.StartColumn = 0; area.StartRow = 0; area.EndColumn = 1; area.EndRow = 19
sheet.setPrintAreas((area,))
sheet.setTitleRows(CellRangeAddress(0, 0, 0, 255, 0) if False else CellRangeAddress(Sheet=0, StartColumn=0, StartRow=0, EndColumn=1023, EndRow=0))
sheet.setPrintTitleRows(True)
where = CellAddress(); where.Sheet = 0; where.Column = 0; where.Row = 0
doc.NamedRanges.addNewByName('Numery', '$Ustawienia.$A$1:$A$20', where, 0)
cell = sheet.getCellByPosition(2, 0)
text = cell.getText()
field = doc.createInstance('com.sun.star.text.TextField.URL')
field.URL = 'https://example.org/talvane'
field.Representation = 'strona'
text.insertTextContent(text.createTextCursor(), field, False)
style = doc.StyleFamilies.getByName('PageStyles').getByName(sheet.PageStyle)
style.LeftMargin = 1500
style.IsLandscape = True
sheet.protect('')
doc.Sheets.insertNewByName('Drugi', 1)
second = doc.Sheets.getByName('Drugi')
second.getCellByPosition(0, 0).setFormula('=SUM(Numery)')
doc.storeToURL(uno.systemPathToFileUrl(os.path.abspath('settings.xls')), (prop('FilterName', 'MS Excel 97'),))
doc.close(True)
try: desktop.terminate()
except Exception: pass
proc.wait(timeout=30)
