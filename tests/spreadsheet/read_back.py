#!/usr/bin/python3
"""Reads a workbook with an independent library and prints what it found as JSON: for each sheet its
name, its cells as text (numbers without a trailing ".0", dates as "yyyy-mm-dd[ hh:mm:ss]") and the
number format of the third column and of its cells. .xls through xlrd, .xlsx through openpyxl."""

import datetime
import json
import sys


def number_text(value):
    if isinstance(value, float) and value.is_integer():
        return str(int(value))
    return repr(value)


def date_text(value):
    if isinstance(value, datetime.datetime):
        if value.time() == datetime.time(0, 0):
            return value.strftime("%Y-%m-%d")
        return value.strftime("%Y-%m-%d %H:%M:%S")
    if isinstance(value, datetime.date):
        return value.strftime("%Y-%m-%d")
    return value.strftime("%H:%M:%S")


def read_xls(path):
    import xlrd
    book = xlrd.open_workbook(path, formatting_info=True)
    sheets = []
    for sheet in book.sheets():
        rows = []
        for r in range(sheet.nrows):
            row = []
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype == xlrd.XL_CELL_TEXT:
                    row.append(cell.value)
                elif cell.ctype == xlrd.XL_CELL_NUMBER:
                    row.append(number_text(cell.value))
                elif cell.ctype == xlrd.XL_CELL_DATE:
                    row.append(date_text(xlrd.xldate_as_datetime(cell.value, book.datemode)))
                elif cell.ctype == xlrd.XL_CELL_BOOLEAN:
                    row.append("TRUE" if cell.value else "FALSE")
                else:
                    row.append("")
            rows.append(row)

        def format_of_xf(xf_index):
            return book.format_map[book.xf_list[xf_index].format_key].format_str

        column_format = format_of_xf(sheet.colinfo_map[2].xf_index) if 2 in sheet.colinfo_map else ""
        cell_formats = sorted({format_of_xf(sheet.cell_xf_index(r, 2)) for r in range(1, sheet.nrows)
                               if sheet.ncols > 2 and sheet.cell(r, 2).ctype != xlrd.XL_CELL_EMPTY})
        widths = {c: info.width for c, info in sheet.colinfo_map.items()}
        sheets.append({"name": sheet.name, "rows": rows, "columnCFormat": column_format,
                       "columnCCellFormats": cell_formats, "widths": widths})
    return sheets


def read_xlsx(path):
    import openpyxl
    book = openpyxl.load_workbook(path)
    sheets = []
    for sheet in book.worksheets:
        rows = []
        for cells in sheet.iter_rows():
            row = []
            for cell in cells:
                v = cell.value
                if v is None:
                    row.append("")
                elif isinstance(v, bool):
                    row.append("TRUE" if v else "FALSE")
                elif isinstance(v, (datetime.date, datetime.time)):
                    row.append(date_text(v))
                elif isinstance(v, (int, float)):
                    row.append(number_text(float(v)) if isinstance(v, float) else str(v))
                else:
                    row.append(v)
            rows.append(row)
        cell_formats = sorted({sheet.cell(row=r, column=3).number_format for r in range(2, sheet.max_row + 1)
                               if sheet.cell(row=r, column=3).value is not None})
        dim = sheet.column_dimensions["C"] if "C" in sheet.column_dimensions else None
        widths = {k: v.width for k, v in sheet.column_dimensions.items()}
        sheets.append({"name": sheet.title, "rows": rows, "columnCFormat": dim.number_format if dim else "",
                       "columnCCellFormats": cell_formats, "widths": widths})
    return sheets


if __name__ == "__main__":
    path = sys.argv[1]
    sheets = read_xlsx(path) if path.lower().endswith(".xlsx") else read_xls(path)
    json.dump({"sheets": sheets}, sys.stdout, ensure_ascii=False)
