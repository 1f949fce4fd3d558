"""The peer of bench-xls: xlwt writing the same rows with the same fonts.
Usage: xlwt_peer.py PATH ROWS"""
import sys
import time

import xlwt

path, rows = sys.argv[1], int(sys.argv[2])
start = time.perf_counter()
book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("Borsod-Abaúj-Zemplén")
heading = xlwt.easyxf("font: name Arial, bold on; align: horiz centre")
data = xlwt.easyxf("font: name Arial")
for c, title in enumerate(["DÁTUM", "IDŐPONT", "MEGYE", "IRSZ", "TELEPÜLÉS", "HELYSZÍN (intézmény neve)", "Cím"]):
    sheet.write(0, c, title, heading)
dates = ["2020.09.%02d" % d for d in range(1, 31)]
times = ["%02d:00-12:30" % h for h in range(7, 11)]
settlements = ["Település %d" % n for n in range(393)]
streets = ["Fő utca %d." % n for n in range(97)]
for i in range(rows):
    r = i + 1
    sheet.write(r, 0, dates[i % 30], data)
    sheet.write(r, 1, times[i % 4], data)
    sheet.write(r, 2, "Borsod-Abaúj-Zemplén", data)
    sheet.write(r, 3, 3500 + i % 300, data)
    sheet.write(r, 4, settlements[i % 393], data)
    sheet.write(r, 5, "Művelődési Ház %d" % i, data)
    sheet.write(r, 6, streets[i % 97], data)
book.save(path)
print("work_ms=%.1f" % ((time.perf_counter() - start) * 1000))
