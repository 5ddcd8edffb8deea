#!/usr/bin/python3
"""Makes the small workbooks the spreadsheet tests read, as other programs would write them.

other_tool.xlsx is built from hand-written XML with the standard library's zipfile, in the ways
other writers differ from libxlsxwriter: a header row, shared strings with rich-text runs and a
phonetic run, an inline string, a formula's string result, numbers written as 255.0 and 8.388608E6,
cells without a reference, element names with a namespace prefix, and a first worksheet that is not
sheet1.xml. other_tool.xls is written with python3-xlwt (Debian package), a BIFF8 writer.

Run from this folder: ./make_fixtures.py
"""
import zipfile

ROWS = [
    # CHIPTEXT, MANUF, CHIPID, CHIPSIZE, PAGESIZE, SIGNATURE, ERTIME, FREQUENCY
    ("W25Q64FV", "WINBOND", "ID_SPI1", 8388608, 256, "EF4017", 30, 3),
    ("AT24C02", "ATMEL", "ID_24C02", 256, 8, "", 0, 1),
]


def xlsx():
    main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
    rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    content_types = (
        '<?xml version="1.0" encoding="UTF-8"?>'
        '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
        '<Default Extension="xml" ContentType="application/xml"/>'
        '</Types>')
    root_rels = (
        '<?xml version="1.0" encoding="UTF-8"?>'
        '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        f'<Relationship Id="rId1" Type="{rel}/officeDocument" Target="xl/workbook.xml"/>'
        '</Relationships>')
    workbook = (
        '<?xml version="1.0" encoding="UTF-8"?>'
        f'<x:workbook xmlns:x="{main}" xmlns:r="{rel}"><x:sheets>'
        '<x:sheet name="Chips" sheetId="1" r:id="rId7"/>'
        '<x:sheet name="Notes" sheetId="2" r:id="rId1"/>'
        '</x:sheets></x:workbook>')
    workbook_rels = (
        '<?xml version="1.0" encoding="UTF-8"?>'
        '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        f'<Relationship Id="rId1" Type="{rel}/worksheet" Target="worksheets/sheet1.xml"/>'
        f'<Relationship Id="rId7" Type="{rel}/worksheet" Target="/xl/worksheets/chips.xml"/>'
        f'<Relationship Id="rId3" Type="{rel}/sharedStrings" Target="sharedStrings.xml"/>'
        '</Relationships>')
    shared = (
        '<?xml version="1.0" encoding="UTF-8"?>'
        f'<x:sst xmlns:x="{main}" count="4" uniqueCount="4">'
        '<x:si><x:t>CHIPTEXT</x:t></x:si>'
        '<x:si><x:r><x:t>W25Q</x:t></x:r><x:r><x:rPr><x:b/></x:rPr><x:t>64FV</x:t></x:r>'
        '<x:rPh sb="0" eb="1"><x:t>ignored</x:t></x:rPh></x:si>'
        '<x:si><x:t>WINBOND</x:t></x:si>'
        '<x:si><x:t xml:space="preserve">ID_SPI1</x:t></x:si>'
        '</x:sst>')
    header = ''.join(
        f'<x:c t="inlineStr"><x:is><x:t>{name}</x:t></x:is></x:c>'
        for name in ("CHIPTEXT", "MANUF", "CHIPID", "CHIPSIZE", "PAGESIZE", "SIGNATURE", "ERTIME", "FREQUENCY"))
    header = header.replace('<x:c t="inlineStr"><x:is><x:t>CHIPTEXT</x:t></x:is></x:c>',
                            '<x:c r="A1" t="s"><x:v>0</x:v></x:c>', 1)
    chips = (
        '<?xml version="1.0" encoding="UTF-8"?>'
        f'<x:worksheet xmlns:x="{main}"><x:sheetData>'
        f'<x:row r="1">{header}</x:row>'
        '<x:row r="2">'
        '<x:c r="A2" t="s"><x:v>1</x:v></x:c><x:c r="B2" t="s"><x:v>2</x:v></x:c>'
        '<x:c r="C2" t="s"><x:v>3</x:v></x:c><x:c r="D2"><x:v>8.388608E6</x:v></x:c>'
        '<x:c r="E2"><x:v>256.0</x:v></x:c><x:c r="F2" t="str"><x:f>"EF"&amp;"4017"</x:f><x:v>EF4017</x:v></x:c>'
        '<x:c r="G2"><x:v>30</x:v></x:c><x:c r="H2"><x:v>3</x:v></x:c>'
        '<x:c r="K2"><x:v>99</x:v></x:c>'
        '</x:row>'
        '<x:row r="4">'
        '<x:c t="inlineStr"><x:is><x:t>AT24C02</x:t></x:is></x:c><x:c t="inlineStr"><x:is><x:t>ATMEL</x:t></x:is></x:c>'
        '<x:c t="inlineStr"><x:is><x:t>ID_24C02</x:t></x:is></x:c><x:c><x:v>255.99999999999997</x:v></x:c>'
        '<x:c><x:v>8</x:v></x:c><x:c/><x:c><x:v>0</x:v></x:c><x:c><x:v>1</x:v></x:c>'
        '</x:row>'
        '</x:sheetData></x:worksheet>')
    notes = (
        '<?xml version="1.0" encoding="UTF-8"?>'
        f'<worksheet xmlns="{main}"><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>not the chips</t></is></c>'
        '</row></sheetData></worksheet>')
    with zipfile.ZipFile("other_tool.xlsx", "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in (("[Content_Types].xml", content_types), ("_rels/.rels", root_rels),
                           ("xl/workbook.xml", workbook), ("xl/_rels/workbook.xml.rels", workbook_rels),
                           ("xl/sharedStrings.xml", shared), ("xl/worksheets/chips.xml", chips),
                           ("xl/worksheets/sheet1.xml", notes)):
            z.writestr(zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0)), text)


def xls():
    import xlwt
    book = xlwt.Workbook()
    sheet = book.add_sheet("Chips")
    for r, row in enumerate(ROWS):
        for c, value in enumerate(row):
            if value != "":
                sheet.write(r, c, value)
    book.add_sheet("Notes").write(0, 0, "not the chips")
    book.save("other_tool.xls")


if __name__ == "__main__":
    xlsx()
    xls()
