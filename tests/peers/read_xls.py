"""Reads an .xls with xlrd (formatting_info=True) and olefile and prints
what it found as JSON: streams, the largest record body of the Workbook
stream and the total its SST record states, sheets, cells with their types,
fonts, alignment and column widths. Used by the workbook tests as an
independent reader."""
import json
import struct
import sys

import olefile
import xlrd

path = sys.argv[1]
ole = olefile.OleFileIO(path)
streams = ole.listdir()
workbook = ole.openstream("Workbook").read()
ole.close()

# Walk the record stream: xlrd itself accepts records longer than BIFF8 allows.
largest, offset, sst_total, label_cells = 0, 0, None, 0
while offset + 4 <= len(workbook):
    kind, length = struct.unpack_from("<HH", workbook, offset)
    if kind == 0 and length == 0:
        break  # the padding after the last EOF
    largest = max(largest, length)
    if kind == 0x00FC:
        sst_total = struct.unpack_from("<I", workbook, offset + 4)[0]
    elif kind == 0x00FD:
        label_cells += 1
    offset += 4 + length

book = xlrd.open_workbook(path, formatting_info=True)
out = {"streams": streams, "largest_record": largest, "sst_total": sst_total, "label_cells": label_cells,
       "sheets": []}
for sheet in book.sheets():
    cells = []
    for r in range(sheet.nrows):
        row = []
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            xf = book.xf_list[cell.xf_index]
            font = book.font_list[xf.font_index]
            row.append({
                "type": {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number",
                         xlrd.XL_CELL_EMPTY: "empty", xlrd.XL_CELL_BLANK: "blank"}.get(cell.ctype, str(cell.ctype)),
                "value": cell.value,
                "font": font.name, "bold": bool(font.bold), "height": font.height,
                "colour": font.colour_index, "italic": bool(font.italic), "underline": font.underline_type,
                "halign": xf.alignment.hor_align, "wrap": xf.alignment.text_wrapped,
                "rotation": xf.alignment.rotation,
                "border": [xf.border.left_line_style, xf.border.right_line_style,
                           xf.border.top_line_style, xf.border.bottom_line_style],
                "pattern": xf.background.fill_pattern,
            })
        cells.append(row)
    widths = [sheet.colinfo_map[c].width if c in sheet.colinfo_map else None for c in range(sheet.ncols)]
    out["sheets"].append({"name": sheet.name, "nrows": sheet.nrows, "ncols": sheet.ncols,
                          "widths": widths, "cells": cells if sheet.nrows <= 400 else cells[:3] + cells[-2:]})
json.dump(out, sys.stdout, ensure_ascii=False)
