// The printable month through the real window and database, read back with
// poppler's tools (pdftotext, pdfinfo, pdffonts) as a reader would.

#include "export/ExportNames.h"
#include "export/PrintableMonth.h"
#include "model/Base.h"
#include "support/Fixture.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

namespace {

// One of poppler's tools on a file; its standard output.
QString poppler(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning() << tool << arguments << process.readAllStandardError();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pageText(const QString& path, int page)
{
    return poppler(QStringLiteral("pdftotext"),
                   {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page), path,
                    QStringLiteral("-")});
}

struct PrintProgram {
    PrintProgram()
    {
        folder.chooseCounty(6);
        folder.addLocation("Szeged", 6720, "Dugonics tér 13.", "Egyetem");
        folder.addLocation("Makó", 6900, "Széchenyi tér 22.", "Városháza");
        program.clock.fixed = QDateTime(QDate(2026, 11, 20), QTime(14, 30, 5));
    }
    QToolButton* button(const char* name) const { return program.find<QToolButton>(name); }
    // Opens the export panel, chooses the first month and prints it; the
    // path of the file the viewer was given.
    QString printFirstMonth()
    {
        QTest::mouseClick(button("btnExport"), Qt::LeftButton);
        program.find<QComboBox>("cmbExport")->setCurrentIndex(1);
        QTest::mouseClick(button("btnPrint"), Qt::LeftButton);
        return program.viewer.shown.isEmpty() ? QString() : program.viewer.shown.last();
    }
    QStringList pdfFiles() const { return QDir(folder.path() + QStringLiteral("/pdf")).entryList(QDir::Files); }

    DatabaseFolder folder;
    RunningProgram program;
};

} // namespace

class TestPrint : public QObject {
    Q_OBJECT
private slots:
    void monthIsPrintedAndShown();
    void headingsAndPageNumbersOnEveryPage();
    void viewerMissingNamesTheFile();
};

void TestPrint::monthIsPrintedAndShown()
{
    PrintProgram print;
    print.folder.addDonation("2026", "11", "03", "08:00", "12:30", 1);
    print.folder.addDonation("2026", "11", "07", "09:00", "13:00", 2);
    // A name longer than its column wraps within it; nothing of it is lost.
    const int hall =
        print.folder
            .addLocation("Hódmezővásárhely", 6800, "Szőnyi utca 31.",
                         "Hódmezővásárhelyi Kistérségi Egészségügyi Központ és Rendelőintézet, földszinti előadóterem");
    print.folder.addDonation("2026", "11", "30", "14:00", "18:00", hall);
    QVERIFY(print.program.start());
    QToolButton* printButton = print.button("btnPrint");
    QCOMPARE(printButton->toolTip(), QStringLiteral("Nyomtatás (PDF)"));
    QCOMPARE(printButton->accessibleName(), QStringLiteral("Nyomtatás (PDF)"));
    QTest::mouseClick(print.button("btnExport"), Qt::LeftButton);
    QVERIFY(!printButton->isEnabled()); // with the other two actions, until a month is chosen
    print.program.find<QComboBox>("cmbExport")->setCurrentIndex(1);
    QVERIFY(printButton->isEnabled() && print.button("btnExcel")->isEnabled());
    print.program.screenshot("export-panel-print");
    QTest::mouseClick(printButton, Qt::LeftButton);
    QVERIFY(!printButton->isEnabled());
    QVERIFY(print.program.messages.boxes.isEmpty());

    const QString county = print.program.window->base().CurrentSettings.Megye;
    const QString name =
        ExportFileName(county, QStringLiteral("November"), ExportStampText(print.program.clock), QStringLiteral("pdf"));
    QCOMPARE(print.pdfFiles(), QStringList{name});
    const QString path = QDir(print.folder.path()).filePath(QStringLiteral("pdf/") + name);
    QCOMPARE(print.program.viewer.shown, QStringList{path});

    const QString info = poppler(QStringLiteral("pdfinfo"), {path});
    QVERIFY2(info.contains(
                 QRegularExpression(QStringLiteral("Page size:\\s+(841.89|842) x 595(.2\\d*)? pts \\(A4\\)"))),
             qPrintable(info));
    QVERIFY(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    // Every font is embedded (pdffonts: name type encoding emb sub uni …).
    const QStringList fonts = poppler(QStringLiteral("pdffonts"), {path}).split(u'\n', Qt::SkipEmptyParts).mid(2);
    QVERIFY(!fonts.isEmpty());
    for (const QString& font : fonts)
        QVERIFY2(font.split(u' ', Qt::SkipEmptyParts).value(font.split(u' ', Qt::SkipEmptyParts).size() - 5)
                     == QStringLiteral("yes"),
                 qPrintable(font));

    // Text as text, in the export's order, words kept whole.
    const QString text = poppler(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    const QString words = QString(text).replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
    const QStringList expected{PrintableMonth::title(county, 2026, QStringLiteral("November")),
                               QStringLiteral("2026.11.03. kedd"),
                               QStringLiteral("08:00-12:30"),
                               QStringLiteral("6720 Szeged"),
                               QStringLiteral("Egyetem"),
                               QStringLiteral("Dugonics tér 13."),
                               QStringLiteral("2026.11.07. szombat"),
                               QStringLiteral("6900 Makó"),
                               QStringLiteral("Városháza"),
                               QStringLiteral("Széchenyi tér 22."),
                               QStringLiteral("2026.11.30. hétfő"),
                               QStringLiteral("14:00-18:00"),
                               QStringLiteral("6800 Hódmezővásárhely"),
                               QStringLiteral("Szőnyi utca 31."),
                               QStringLiteral("1 / 1")};
    qsizetype at = 0;
    for (const QString& piece : expected) {
        const qsizetype found = words.indexOf(piece, at);
        QVERIFY2(found >= 0, qPrintable(piece + QStringLiteral(" in ") + words));
        at = found + piece.size();
    }
    for (const char* word : {"Hódmezővásárhelyi", "Kistérségi", "Rendelőintézet,", "földszinti", "előadóterem"})
        QVERIFY2(words.contains(QString::fromUtf8(word)), word);
    QCOMPARE(PrintableMonth::title(county, 2026, QStringLiteral("November")),
             county + QStringLiteral(" Megye – 2026. November véradási időpontjai"));
}

// A month of 200 appointments runs over several pages: each has the
// headings and its "n / N", and every row is printed once, in order.
void TestPrint::headingsAndPageNumbersOnEveryPage()
{
    PrintProgram print;
    for (int n = 0; n < 200; ++n) {
        const QByteArray day = QString::number(1 + n % 30).rightJustified(2, u'0').toLatin1();
        const QString street = QStringLiteral("Sor %1. utca").arg(n, 3, 10, QLatin1Char('0')); // text order = n
        const int location = print.folder.addLocation("Szeged", 6720, qPrintable(street), "Iskola");
        print.folder.addDonation("2026", "11", day.constData(), "08:00", "12:00", location);
    }
    QVERIFY(print.program.start());
    const QString path = print.printFirstMonth();
    QVERIFY(!path.isEmpty());
    const QRegularExpression pagesLine(QStringLiteral("Pages:\\s+(\\d+)"));
    const int pages = pagesLine.match(poppler(QStringLiteral("pdfinfo"), {path})).captured(1).toInt();
    QVERIFY2(pages > 1, qPrintable(QString::number(pages)));
    // Rows run by day, then by address text: the order the export sorts in.
    QList<int> printedRows;
    for (int page = 1; page <= pages; ++page) {
        const QString text = pageText(path, page);
        for (const char* heading : {"Nap", "Időpont", "Település", "Intézmény", "Cím"})
            QVERIFY2(text.contains(QString::fromUtf8(heading)), qPrintable(QStringLiteral("page %1").arg(page)));
        QVERIFY2(text.contains(QStringLiteral("%1 / %2").arg(page).arg(pages)), qPrintable(text.right(200)));
        QCOMPARE(text.contains(QStringLiteral("véradási időpontjai")), page == 1);
        const QRegularExpression row(QStringLiteral("Sor (\\d+)\\. utca"));
        for (auto match = row.globalMatch(text); match.hasNext();)
            printedRows << match.next().captured(1).toInt();
    }
    QCOMPARE(printedRows.size(), 200);
    QList<int> sorted = printedRows;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()); // none twice
    QCOMPARE(sorted.first(), 0);
    QCOMPARE(sorted.last(), 199);
    // Day order: row n is on day 1 + n % 30, so the first rows are 0, 30, 60 …
    QCOMPARE(printedRows.mid(0, 3), QList<int>({0, 30, 60}));
}

void TestPrint::viewerMissingNamesTheFile()
{
    PrintProgram print;
    print.folder.addDonation("2026", "11", "03", "08:00", "12:30", 1);
    print.program.viewer.succeed = false;
    QVERIFY(print.program.start());
    print.printFirstMonth();
    QCOMPARE(print.pdfFiles().size(), 1);
    QCOMPARE(print.program.messages.captions(), QStringList{"Exportálás"});
    QVERIFY(print.program.messages.boxes[0].text.contains(print.pdfFiles().first()));
    QCOMPARE(print.program.messages.boxes[0].icon, UserMessages::Icon::Information);
    QVERIFY(!print.button("btnPrint")->isEnabled());
}

QTEST_MAIN(TestPrint)
#include "TestPrint.moc"
