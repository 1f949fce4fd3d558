#include "export/PrintableMonth.h"

#include "export/ExportError.h"
#include "export/ExportFile.h"
#include "model/Calendar.h"

#include <QDate>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

#include <array>
#include <vector>

namespace {

constexpr int dotsPerInch = 300;
constexpr int columnCount = 5;

// The printed columns: heading, share of the width, and the export table's
// columns they are made of.
struct PrintedColumn {
    const char* heading;
    qreal share;
};
constexpr std::array<PrintedColumn, columnCount> printedColumns{
    {{"Nap", 0.13}, {"Időpont", 0.09}, {"Település", 0.16}, {"Intézmény", 0.31}, {"Cím", 0.31}}};

QFont printFont(qreal points, bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

using PrintedRow = std::array<QString, columnCount>;

// The export table's columns by their headings, so the writer does not
// depend on their order.
class SourceColumns {
public:
    explicit SourceColumns(const DataTable& rows)
        : m_rows(rows)
    {
        const QStringList names = rows.columnNames();
        auto find = [&names](const char* name) {
            const qsizetype at = names.indexOf(QString::fromUtf8(name));
            if (at < 0)
                throw ExportError(
                    QStringLiteral("A nyomtatandó táblából hiányzik a(z) %1 oszlop.").arg(QString::fromUtf8(name)));
            return int(at);
        };
        m_date = find("DÁTUM");
        m_time = find("IDŐPONT");
        m_postcode = find("IRSZ");
        m_settlement = find("TELEPÜLÉS");
        m_institution = find("HELYSZÍN (intézmény neve)");
        m_address = find("Cím");
    }

    PrintedRow row(int n) const
    {
        const QString date = text(n, m_date);
        const QDate day = QDate::fromString(date, QStringLiteral("yyyy.MM.dd"));
        return {day.isValid() ? date + QStringLiteral(". ") + HungarianWeekday(day) : date, text(n, m_time),
                text(n, m_postcode) + u' ' + text(n, m_settlement), text(n, m_institution), text(n, m_address)};
    }

private:
    QString text(int row, int column) const { return m_rows.cell(row, column).toString(); }

    const DataTable& m_rows;
    int m_date, m_time, m_postcode, m_settlement, m_institution, m_address;
};

// Where everything goes on a page, in device pixels.
struct PageGeometry {
    QRectF paper; // within the margins
    std::array<qreal, columnCount + 1> columnLeft{};
    qreal padding = 0;
    qreal titleHeight = 0;
    qreal headingHeight = 0;
    qreal footerHeight = 0;

    PageGeometry(const QRectF& paintRect, const QFontMetricsF& body, const QFontMetricsF& title)
        : paper(paintRect)
        , padding(body.height() * 0.3)
        , titleHeight(title.height() * 1.8)
        , headingHeight(body.height() + 2 * padding)
        , footerHeight(body.height() * 2)
    {
        qreal left = paper.left();
        for (size_t c = 0; c < printedColumns.size(); ++c) {
            columnLeft[c] = left;
            left += paper.width() * printedColumns[c].share;
        }
        columnLeft[columnCount] = paper.right();
    }
    qreal textWidth(size_t column) const { return columnLeft[column + 1] - columnLeft[column] - 2 * padding; }
    QRectF cell(size_t column, qreal top, qreal height) const
    {
        return QRectF(columnLeft[column] + padding, top + padding, textWidth(column), height - 2 * padding);
    }
};

constexpr int wrapFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

// A row's height: one line, or as many as its longest wrapped text needs.
qreal rowHeight(const PrintedRow& row, const PageGeometry& page, const QFontMetricsF& metrics)
{
    qreal lines = metrics.height();
    for (size_t c = 0; c < row.size(); ++c) {
        if (metrics.horizontalAdvance(row[c]) > page.textWidth(c))
            lines =
                std::max(lines, metrics.boundingRect(QRectF(0, 0, page.textWidth(c), 1e6), wrapFlags, row[c]).height());
    }
    return lines + 2 * page.padding;
}

void drawHeadings(QPainter& painter, const PageGeometry& page, qreal top, const QFont& bold)
{
    painter.setFont(bold);
    painter.fillRect(QRectF(page.paper.left(), top, page.paper.width(), page.headingHeight), QColor(225, 225, 225));
    for (size_t c = 0; c < printedColumns.size(); ++c)
        painter.drawText(page.cell(c, top, page.headingHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromUtf8(printedColumns[c].heading));
}

struct Fonts {
    QFont body = printFont(9);
    QFont bold = printFont(9, true);
    QFont title = printFont(15, true);
    // The page number's spaces a little wider: a reader's text extraction
    // drops a plain space between narrow glyphs and would find "1/3".
    QFont pageNumber = body;

    explicit Fonts(QPaintDevice& device)
    {
        pageNumber.setWordSpacing(QFontMetricsF(body, &device).horizontalAdvance(u' ') / 2);
    }
};

// The rows laid out before anything is drawn, so that every page knows how
// many pages follow.
struct Layout {
    std::vector<PrintedRow> rows;
    std::vector<qreal> heights;
    std::vector<size_t> pageStarts{0}; // the first row of each page, then the row count

    int pages() const { return int(pageStarts.size()) - 1; }
};

Layout layOut(const DataTable& rows, const PageGeometry& page, const QFontMetricsF& metrics)
{
    const SourceColumns source(rows);
    Layout layout;
    layout.rows.reserve(size_t(rows.rowCount()));
    layout.heights.reserve(size_t(rows.rowCount()));
    const qreal bottom = page.paper.bottom() - page.footerHeight;
    qreal y = page.paper.top() + page.titleHeight + page.headingHeight;
    for (int n = 0; n < rows.rowCount(); ++n) {
        layout.rows.push_back(source.row(n));
        const qreal height = rowHeight(layout.rows.back(), page, metrics);
        layout.heights.push_back(height);
        if (y + height > bottom && size_t(n) > layout.pageStarts.back()) {
            layout.pageStarts.push_back(size_t(n));
            y = page.paper.top() + page.headingHeight;
        }
        y += height;
    }
    layout.pageStarts.push_back(layout.rows.size());
    return layout;
}

void drawPage(QPainter& painter, const PageGeometry& page, const Fonts& fonts, const Layout& layout, int p,
              const QString& title)
{
    qreal top = page.paper.top();
    if (p == 0) {
        painter.setFont(fonts.title);
        painter.drawText(QRectF(page.paper.left(), top, page.paper.width(), page.titleHeight),
                         Qt::AlignLeft | Qt::AlignTop, title);
        top += page.titleHeight;
    }
    drawHeadings(painter, page, top, fonts.bold);
    top += page.headingHeight;
    painter.setFont(fonts.body);
    for (size_t n = layout.pageStarts[size_t(p)]; n < layout.pageStarts[size_t(p) + 1]; ++n) {
        painter.setPen(Qt::black);
        for (size_t c = 0; c < layout.rows[n].size(); ++c)
            painter.drawText(page.cell(c, top, layout.heights[n]), wrapFlags, layout.rows[n][c]);
        top += layout.heights[n];
        painter.setPen(QPen(QColor(190, 190, 190), 1));
        painter.drawLine(QPointF(page.paper.left(), top), QPointF(page.paper.right(), top));
    }
    painter.setPen(Qt::black);
    painter.setFont(fonts.pageNumber);
    painter.drawText(QRectF(page.paper.left(), page.paper.bottom() - page.footerHeight, page.paper.width(),
                            page.footerHeight),
                     Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("%1 / %2").arg(p + 1).arg(layout.pages()));
}

} // namespace

namespace PrintableMonth {

QString title(const QString& county, int year, const QString& monthName)
{
    return QStringLiteral("%1 Megye – %2. %3 véradási időpontjai").arg(county).arg(year).arg(monthName);
}

int write(QIODevice& out, const DataTable& rows, const QString& title)
{
    QPdfWriter writer(&out);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Kelmir"));
    writer.setResolution(dotsPerInch);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                     QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer))
        throw ExportError(QStringLiteral("A PDF-fájl nem készíthető el."));
    const Fonts fonts(writer);
    // Metrics at the writer's resolution, as the painter lays text out.
    const QFontMetricsF metrics(fonts.body, &writer);
    // The painter's origin is the top left corner inside the margins.
    const PageGeometry page(QRectF(QPointF(0, 0), writer.pageLayout().paintRectPixels(dotsPerInch).size()), metrics,
                            QFontMetricsF(fonts.title, &writer));
    const Layout layout = layOut(rows, page, metrics);
    for (int p = 0; p < layout.pages(); ++p) {
        if (p > 0)
            writer.newPage();
        drawPage(painter, page, fonts, layout, p, title);
    }
    if (!painter.end())
        throw ExportError(QStringLiteral("A PDF-fájl nem készíthető el."));
    return layout.pages();
}

void writeFile(const QString& path, const DataTable& rows, const QString& title)
{
    const QFileInfo where(path);
    ExportFile file(where.absolutePath(), where.fileName());
    write(file.device(), rows, title);
    file.throwIfWriteFailed(); // a refused write says why, with the file's name
    file.commit();
}

} // namespace PrintableMonth
