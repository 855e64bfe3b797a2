"""Prints an xlsx workbook as openpyxl reads it, one line per fact, so a test
can compare it with what was written: per sheet its name, frozen cell,
autofilter range and column widths, then each non-empty cell as
'<sheet>!<cell> <type> <bold> <number format> <value>'."""
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
for sheet in book.worksheets:
    print(f"sheet {sheet.title} freeze={sheet.freeze_panes} filter={sheet.auto_filter.ref}")
    for letter, dimension in sorted(sheet.column_dimensions.items()):
        if dimension.width:
            print(f"{sheet.title}!{letter} width={dimension.width:.2f}")
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            value = cell.value.isoformat(sep=" ") if cell.is_date else repr(cell.value)
            print(f"{sheet.title}!{cell.coordinate} {type(cell.value).__name__} "
                  f"{'bold' if cell.font.b else '-'} {cell.number_format} {value}")
