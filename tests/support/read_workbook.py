#!/usr/bin/env python3
"""Prints what an independent reader sees in a workbook, as one JSON object.

Used by the C++ tests, which hold the expected values; nothing here is checked.
"""
import json
import sys

import openpyxl


def main(path):
    # Opened as a file: openpyxl refuses names without an .xlsx ending, and the export's are
    # the user's choice.
    with open(path, "rb") as stream:
        book = openpyxl.load_workbook(stream)
    sheet = book.worksheets[0]
    cells = {}
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            cells[cell.coordinate] = {
                "type": cell.data_type,
                "format": cell.number_format,
                "value": cell.value,
                "bold": bool(cell.font.b),
            }
    print(json.dumps({
        "sheets": book.sheetnames,
        "freeze": sheet.freeze_panes,
        "widths": {key: dim.width for key, dim in sheet.column_dimensions.items()},
        "rows": sheet.max_row,
        "cells": cells,
    }))


if __name__ == "__main__":
    main(sys.argv[1])
