import subprocess, time, uno, os
from com.sun.star.beans import PropertyValue
from com.sun.star.awt import Rectangle
from com.sun.star.table import CellRangeAddress
def prop(n, v):
    p = PropertyValue(); p.Name = n; p.Value = v; return p
proc = subprocess.Popen(['soffice', '--headless', '--invisible', '--norestore',
                         '--accept=pipe,name=talvanechart;urp;'], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
local = uno.getComponentContext()
resolver = local.ServiceManager.createInstanceWithContext('com.sun.star.bridge.UnoUrlResolver', local)
for i in range(60):
    try:
        ctx = resolver.resolve('uno:pipe,name=talvanechart;urp;StarOffice.ComponentContext'); break
    except Exception:
        time.sleep(0.5)
desktop = ctx.ServiceManager.createInstanceWithContext('com.sun.star.frame.Desktop', ctx)
doc = desktop.loadComponentFromURL('private:factory/scalc', '_blank', 0, (prop('Hidden', True),))
sheet = doc.Sheets.getByIndex(0)
sheet.Name = 'Wykres'
for r in range(6):
    sheet.getCellByPosition(0, r).setValue(600123450 + r)
    sheet.getCellByPosition(1, r).setValue((r + 1) * 10)
addr = CellRangeAddress(); addr.Sheet = 0; addr.StartColumn = 0; addr.StartRow = 0; addr.EndColumn = 1; addr.EndRow = 5
rect = Rectangle(); rect.X = 3000; rect.Y = 500; rect.Width = 10000; rect.Height = 6000
sheet.Charts.addNewByName('Wykres1', rect, (addr,), False, False)
doc.storeToURL(uno.systemPathToFileUrl(os.path.abspath('embedded_chart.xls')), (prop('FilterName', 'MS Excel 97'),))
doc.close(True)
try: desktop.terminate()
except Exception: pass
proc.wait(timeout=30)

# Then the chart sheet: `ssconvert embedded_chart.xls ec.gnumeric`, unpack it
# to ec.xml, and run the following; `ssconvert --export-type=Gnumeric_Excel:excel_biff8
# cs.gnumeric chart_sheet_first.xls` writes the chart sheet as a BIFF8 chart substream.
import re
x = open('ec.xml', encoding='utf-8').read()
start = x.index('<gnm:Sheet ')
end = x.index('</gnm:Sheet>') + len('</gnm:Sheet>')
sheet = x[start:end]
data_sheet = re.sub(r'<gnm:Objects>.*?</gnm:Objects>', '', sheet.replace('<gnm:Name>Wykres</gnm:Name>', '<gnm:Name>Dane</gnm:Name>'), flags=re.S)
chart_sheet = re.sub(r'<gnm:Cells>.*?</gnm:Cells>', '<gnm:Cells/>', sheet.replace('Wykres!', 'Dane!'), flags=re.S)
chart_sheet = chart_sheet.replace('<gnm:Sheet ', '<gnm:Sheet gnm:SheetType="object" ', 1)
x = x[:start] + chart_sheet + data_sheet + x[end:]
x = x.replace('<gnm:SheetName gnm:Cols="256" gnm:Rows="65536">Wykres</gnm:SheetName>',
              '<gnm:SheetName gnm:SheetType="object" gnm:Cols="256" gnm:Rows="65536">Wykres</gnm:SheetName>'
              '<gnm:SheetName gnm:Cols="256" gnm:Rows="65536">Dane</gnm:SheetName>')
open('cs.gnumeric', 'w', encoding='utf-8').write(x)
