"""Prints every cell of an .xls workbook as one JSON line, read with xlrd (an
independent reader): sheet index, row, column, xlrd cell type, value, and the
number format string of the cell's XF."""
import json
import sys

import xlrd

book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
for sheet_index in range(book.nsheets):
    sheet = book.sheet_by_index(sheet_index)
    for row in range(sheet.nrows):
        for column in range(sheet.ncols):
            cell = sheet.cell(row, column)
            xf = book.xf_list[cell.xf_index]
            number_format = book.format_map[xf.format_key].format_str
            print(json.dumps([sheet_index, row, column, cell.ctype, cell.value, number_format]))
