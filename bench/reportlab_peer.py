"""The peer of bench-pdf: ReportLab laying out the same rows as the same
table (A4 landscape, the headings repeated on each page, "n / N" at the
foot, Liberation Sans embedded). Usage: reportlab_peer.py PATH ROWS"""
import sys
import time

from reportlab.lib import colors
from reportlab.lib.pagesizes import A4, landscape
from reportlab.lib.styles import ParagraphStyle
from reportlab.lib.units import mm
from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.platypus import Paragraph, SimpleDocTemplate, Table, TableStyle

FONTS = "/usr/share/fonts/truetype/liberation2/"
path, rows = sys.argv[1], int(sys.argv[2])
start = time.perf_counter()
pdfmetrics.registerFont(TTFont("Liberation", FONTS + "LiberationSans-Regular.ttf"))
pdfmetrics.registerFont(TTFont("Liberation-Bold", FONTS + "LiberationSans-Bold.ttf"))
body = ParagraphStyle("body", fontName="Liberation", fontSize=9, leading=11)
weekdays = ["hétfő", "kedd", "szerda", "csütörtök", "péntek", "szombat", "vasárnap"]
dates = ["2020.09.%02d. %s" % (d, weekdays[(d + 0) % 7]) for d in range(1, 31)]
times = ["%02d:00-12:30" % h for h in range(7, 11)]
settlements = ["%d Település %d" % (3500 + n % 300, n) for n in range(393)]
streets = ["Fő utca %d." % n for n in range(97)]
data = [["Nap", "Időpont", "Település", "Intézmény", "Cím"]]
for i in range(rows):
    # Wrapping cells, as the printable month wraps a long name.
    data.append([dates[i % 30], times[i % 4], settlements[i % 393], Paragraph("Művelődési Ház %d" % i, body),
                 Paragraph(streets[i % 97], body)])
width = landscape(A4)[0] - 24 * mm
table = Table(data, colWidths=[width * s for s in (0.13, 0.09, 0.16, 0.31, 0.31)], repeatRows=1)
table.setStyle(TableStyle([("FONT", (0, 0), (-1, 0), "Liberation-Bold", 9), ("FONT", (0, 1), (-1, -1), "Liberation", 9),
                           ("BACKGROUND", (0, 0), (-1, 0), colors.lightgrey),
                           ("LINEBELOW", (0, 1), (-1, -1), 0.5, colors.grey), ("VALIGN", (0, 0), (-1, -1), "TOP")]))


class Numbered:
    pages = 0


def footer(canvas, doc):
    canvas.setFont("Liberation", 9)
    canvas.drawCentredString(landscape(A4)[0] / 2, 8 * mm, "%d / %d" % (doc.page, Numbered.pages or doc.page))


title = Paragraph("Borsod-Abaúj-Zemplén Megye – 2020. Szeptember véradási időpontjai",
                  ParagraphStyle("title", fontName="Liberation-Bold", fontSize=15, leading=20))
# Two passes, as the page count is known only after the first.
for _ in range(2):
    doc = SimpleDocTemplate(path, pagesize=landscape(A4), leftMargin=12 * mm, rightMargin=12 * mm,
                            topMargin=12 * mm, bottomMargin=12 * mm)
    doc.build([title, table], onFirstPage=footer, onLaterPages=footer)
    Numbered.pages = doc.page
print("work_ms=%.1f" % ((time.perf_counter() - start) * 1000))
