"""Reads the sample workbooks back with xlrd, an independent reader, and checks
captions, every cell's type and value, number and date formats, column widths
and the spill of long tables onto further sheets."""
import datetime
import subprocess
import sys
import tempfile
import unittest

import xlrd

FOLDER = None


def open_book(name):
    return xlrd.open_workbook(f"{FOLDER}/{name}", formatting_info=True)


def format_of(book, cell):
    return book.format_map[book.xf_list[cell.xf_index].format_key].format_str


def as_datetime(book, cell):
    return datetime.datetime(*xlrd.xldate_as_tuple(cell.value, book.datemode))


class Basic(unittest.TestCase):
    def setUp(self):
        self.book = open_book("basic.xls")
        self.sheet = self.book.sheet_by_index(0)

    def test_captions_and_cell_types(self):
        s = self.sheet
        self.assertEqual(self.book.sheet_names(), ["Sheet1"])
        self.assertEqual(s.row_values(0), ["Name", "Size", "Date", "Note"])
        self.assertEqual(s.nrows, 6)
        T, N, D, E = xlrd.XL_CELL_TEXT, xlrd.XL_CELL_NUMBER, xlrd.XL_CELL_DATE, xlrd.XL_CELL_EMPTY
        types = [[s.cell_type(r, c) if c < s.row_len(r) else E for c in range(4)] for r in range(1, 6)]
        self.assertEqual(types, [[T, N, D, T], [E, N, D, E], [T, N, T, T], [T, N, D, E], [T, E, E, E]])

    def test_text_values(self):
        s = self.sheet
        self.assertEqual(s.cell_value(1, 3), "\u00dcn\u00ef \u2713 \u65e5\u672c\u8a9e \U0001F600")
        self.assertEqual(s.cell_value(3, 0), "bad\ufffd\ufffd(utf8")
        self.assertEqual(s.cell_value(3, 3), "\u0436" * 32767)
        # 1 + 2 * 16383 units: the pair that would cross the limit is dropped.
        self.assertEqual(s.cell_value(4, 0), "a" + "\U0001F600" * 16383)
        self.assertEqual(s.cell_value(5, 0), "short")
        self.assertEqual(s.cell_value(3, 2), "1601-01-01 00:00:00")

    def test_sizes_are_numbers_with_digit_grouping(self):
        s = self.sheet
        self.assertEqual([s.cell_value(r, 1) for r in range(1, 5)], [12345.0, 0.0, 1234.5678, 5e12])
        for r in range(1, 5):
            self.assertEqual(format_of(self.book, s.cell(r, 1)), "#,0")

    def test_dates_carry_a_date_time_format_and_the_written_value(self):
        s = self.sheet
        self.assertEqual(as_datetime(self.book, s.cell(1, 2)), datetime.datetime(2024, 5, 6, 7, 8, 9))
        self.assertEqual(as_datetime(self.book, s.cell(4, 2)), datetime.datetime(2038, 1, 19, 3, 14, 7))
        self.assertEqual(s.cell_value(2, 2), 1.0)  # 1900-01-01 is serial 1
        self.assertEqual(format_of(self.book, s.cell(1, 2)), "yyyy-mm-dd hh:mm:ss")

    def test_column_widths(self):
        widths = {c: info.width for c, info in self.sheet.colinfo_map.items()}
        self.assertEqual(widths, {0: round(2400 / 15 / 7 * 256), 1: round(1500 / 15 / 7 * 256),
                                  2: round(2835 / 15 / 7 * 256)})


class ManyStrings(unittest.TestCase):
    def test_every_text_across_continue_records(self):
        sheet = open_book("many.xls").sheet_by_index(0)
        pieces = ["\u0436", "\u00e9", "x"]
        expected = ["Text"] + [f"{i}:" + pieces[i % 3] * (i * 53 % 700) for i in range(3000)]
        self.assertEqual(sheet.col_values(0), expected)


class Spill(unittest.TestCase):
    def test_rows_beyond_one_sheet_continue_on_the_next_with_headings(self):
        book = open_book("spill.xls")
        self.assertEqual(book.sheet_names(), ["Sheet1", "Sheet2"])
        names, sizes = [], []
        for sheet in book.sheets():
            self.assertEqual(sheet.row_values(0), ["Name", "Size"])
            names += sheet.col_values(0, 1)
            sizes += sheet.col_values(1, 1)
        self.assertEqual(book.sheet_by_index(0).nrows, 65536)
        self.assertEqual(names, [f"row {i}" for i in range(70000)])
        self.assertEqual(sizes, [float(i) for i in range(70000)])


class HugeSizes(unittest.TestCase):
    def test_sizes_a_double_cannot_hold_are_their_exact_digits(self):
        sheet = open_book("huge.xls").sheet_by_index(0)
        self.assertEqual(sheet.col_values(0, 1), [2.0 ** 50, 2.0 ** 53, "9007199254740993", "9223372036854775807"])


class Empty(unittest.TestCase):
    def test_heading_only(self):
        book = open_book("empty.xls")
        self.assertEqual(book.nsheets, 1)
        self.assertEqual(book.sheet_by_index(0).nrows, 1)
        self.assertEqual(book.sheet_by_index(0).row_values(0), ["Name", "Size"])


if __name__ == "__main__":
    with tempfile.TemporaryDirectory() as folder:
        FOLDER = folder
        subprocess.run([sys.argv[1], folder], check=True)
        result = unittest.main(argv=sys.argv[:1], exit=False).result
    sys.exit(0 if result.wasSuccessful() else 1)
