// The Excel 97-2003 writer alone: exact bytes of a few records, and whole
// workbooks read back by xlrd and olefile.

#include "export/XlsWriter.h"
#include "support/PythonPeer.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetricsF>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cmath>

namespace {

const QStringList headings = {"DÁTUM", "IDŐPONT", "MEGYE", "IRSZ", "TELEPÜLÉS", "HELYSZÍN (intézmény neve)", "Cím"};

XlsSheet monthSheet(int rows)
{
    XlsSheet sheet;
    sheet.name = QStringLiteral("Borsod-Abaúj-Zemplén");
    sheet.headings = headings;
    for (int i = 0; i < rows; ++i)
        sheet.rows.append({QStringLiteral("2020.09.%1").arg(i % 30 + 1, 2, 10, QChar(u'0')),
                           QStringLiteral("08:00-12:30"), QStringLiteral("Borsod-Abaúj-Zemplén"), 3500 + i % 300,
                           QStringLiteral("Miskolc"), QStringLiteral("Művelődési Ház %1").arg(i),
                           QStringLiteral("Fő utca %1.").arg(i % 97)});
    return sheet;
}

// A device that accepts n bytes and then refuses.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(qint64 limit)
        : m_limit(limit)
    {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 length) override
    {
        if (m_written + length > m_limit) {
            setErrorString(QStringLiteral("a lemez megtelt"));
            return -1;
        }
        m_written += length;
        return length;
    }

private:
    qint64 m_limit;
    qint64 m_written = 0;
};

QByteArray hex(const char* bytes)
{
    return QByteArray::fromHex(bytes);
}

} // namespace

class TestXlsWriter : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_dir.isValid()); }
    void exactRecords();
    void container();
    void readBack_data();
    void readBack();
    void formatting();
    void columnWidthsFitTheText();
    void headingIsMeasuredBold();
    void overlongTextIsCut();
    void tooManyRowsAreRefused();
    void sheetNames_data();
    void sheetNames();
    void failingDeviceReportsAnError();
    void unwritablePathLeavesNothing();

private:
    QJsonObject writeAndRead(const XlsSheet& sheet);
    QTemporaryDir m_dir;
};

QJsonObject TestXlsWriter::writeAndRead(const XlsSheet& sheet)
{
    const QString path = m_dir.filePath("book.xls");
    XlsWriter::writeFile(path, sheet);
    return runPythonPeer(peerScript("read_xls.py"), {path}).object();
}

void TestXlsWriter::exactRecords()
{
    XlsSheet sheet;
    sheet.name = QStringLiteral("Csongrád");
    sheet.headings = {"IRSZ", "Cím"};
    sheet.rows.append({6720, QStringLiteral("Fő tér 1.")});
    const QByteArray stream = XlsWriter::workbookStream(sheet);
    // BOF of the globals: BIFF8, workbook.
    QVERIFY(stream.startsWith(hex("0908 1000 0006 0500 bb0d cc07 00000000 06000000")));
    // The bold Arial font and the centred bold heading format.
    QVERIFY(stream.contains(hex("3100 1500 c800 0100 ff7f bc02 0000 00 02 00 00 05 00 417269616c")));
    QVERIFY(stream.contains(hex("e000 1400 0500 0000 0100 22 00 00 18 00000000 00000000 c020")));
    // The shared strings: "IRSZ" and "Fő tér 1." (wide: ő is beyond U+00FF), "Cím" compressed.
    QVERIFY(stream.contains(hex("fc00 2a00 03000000 03000000 0400 00 4952535a 0300 00 43ed6d 0900 01 4600 5101")));
    // Heading in A1 (XF 16, string 0), the postcode as a number in A2 (XF 15).
    QVERIFY(stream.contains(hex("fd00 0a00 0000 0000 1000 00000000")));
    QVERIFY(stream.contains(hex("0302 0e00 0100 0000 0f00 000000000040ba40")));
    // The worksheet is the second substream, where BOUNDSHEET says.
    const qsizetype boundSheet = stream.indexOf(hex("8500"));
    const quint32 offset = qFromLittleEndian<quint32>(stream.constData() + boundSheet + 4);
    QCOMPARE(stream.mid(offset, 6), hex("0908 1000 0006"));
    QCOMPARE(stream.mid(offset + 6, 2), hex("1000"));
    QVERIFY(stream.endsWith(hex("0a00 0000")));
}

void TestXlsWriter::container()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    XlsWriter::write(buffer, monthSheet(3));
    const QByteArray file = buffer.data();
    QVERIFY(file.startsWith(hex("d0cf11e0a1b11ae1")));
    QCOMPARE(file.size() % 512, 0);
    // A short stream is padded to 4,096 bytes: no mini stream.
    QCOMPARE(file.size(), 512 + 4096 + 512 + 512);
}

void TestXlsWriter::readBack_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("longStrings");
    QTest::newRow("empty month") << 0 << false;
    QTest::newRow("one appointment") << 1 << false;
    QTest::newRow("150 rows") << 150 << false;
    QTest::newRow("strings past 8,224 bytes") << 400 << true;
    QTest::newRow("65,535 rows") << 65535 << false;
}

void TestXlsWriter::readBack()
{
    QFETCH(int, rows);
    QFETCH(bool, longStrings);
    XlsSheet sheet = monthSheet(rows);
    if (longStrings) {
        // Wide and compressed strings of uneven lengths, so that record
        // boundaries fall inside strings of both kinds.
        for (int i = 0; i < rows; ++i) {
            sheet.rows[i][5] = QStringLiteral("Árvíztűrő tükörfúrógép %1 ").arg(i).repeated(1 + i % 3);
            sheet.rows[i][6] = QStringLiteral("Kossuth Lajos utca %1. ").arg(i).repeated(1 + i % 4);
        }
    }
    const QJsonObject book = writeAndRead(sheet);
    QCOMPARE(book.value("streams").toArray(), QJsonArray({QJsonArray({"Workbook"})}));
    // No record runs past the 8,224 bytes BIFF8 allows, and the string
    // table counts every text cell.
    QVERIFY2(book.value("largest_record").toInt() <= 8224,
             qPrintable(QString::number(book.value("largest_record").toInt())));
    QCOMPARE(book.value("sst_total").toInt(), book.value("label_cells").toInt());
    QCOMPARE(book.value("label_cells").toInt(), 7 + 6 * rows); // headings, and all but the postcode
    const QJsonArray sheets = book.value("sheets").toArray();
    QCOMPARE(sheets.size(), 1);
    const QJsonObject only = sheets[0].toObject();
    QCOMPARE(only.value("name").toString(), QStringLiteral("Borsod-Abaúj-Zemplén"));
    QCOMPARE(only.value("nrows").toInt(), rows + 1);
    QCOMPARE(only.value("ncols").toInt(), 7);
    const QJsonArray cells = only.value("cells").toArray();
    const QJsonArray headingRow = cells[0].toArray();
    for (int c = 0; c < 7; ++c)
        QCOMPARE(headingRow[c].toObject().value("value").toString(), headings[c]);
    // Every row read back when the peer printed them all, else the first and last ones.
    const bool all = rows + 1 <= 400;
    QList<int> checked;
    for (int i = 1; i < cells.size(); ++i)
        checked << (all || i <= 2 ? i - 1 : rows - (cells.size() - i));
    for (int i = 1; i < cells.size(); ++i) {
        const QJsonArray row = cells[i].toArray();
        const QList<QVariant>& expected = sheet.rows[checked[i - 1]];
        for (int c = 0; c < 7; ++c) {
            const QJsonObject cell = row[c].toObject();
            if (c == 3) {
                QCOMPARE(cell.value("type").toString(), QStringLiteral("number"));
                QCOMPARE(cell.value("value").toDouble(), expected[c].toDouble());
            } else {
                QCOMPARE(cell.value("type").toString(), QStringLiteral("text"));
                QCOMPARE(cell.value("value").toString(), expected[c].toString());
            }
        }
    }
}

void TestXlsWriter::formatting()
{
    const QJsonObject book = writeAndRead(monthSheet(2));
    const QJsonArray cells = book.value("sheets").toArray()[0].toObject().value("cells").toArray();
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 7; ++c) {
            const QJsonObject cell = cells[r].toArray()[c].toObject();
            QCOMPARE(cell.value("font").toString(), QStringLiteral("Arial"));
            QCOMPARE(cell.value("height").toInt(), 200);    // 10 pt, the default size
            QCOMPARE(cell.value("colour").toInt(), 0x7FFF); // automatic: black
            QCOMPARE(cell.value("bold").toBool(), r == 0);
            QCOMPARE(cell.value("halign").toInt(), r == 0 ? 2 : 0); // centred / General
            QCOMPARE(cell.value("italic").toBool(), false);
            QCOMPARE(cell.value("underline").toInt(), 0);
            QCOMPARE(cell.value("wrap").toInt(), 0);
            QCOMPARE(cell.value("rotation").toInt(), 0);
            QCOMPARE(cell.value("border").toArray(), QJsonArray({0, 0, 0, 0}));
            QCOMPARE(cell.value("pattern").toInt(), 0);
        }
    }
}

void TestXlsWriter::columnWidthsFitTheText()
{
    XlsSheet sheet = monthSheet(5);
    sheet.rows[2][5] = QStringLiteral("Megyei Kórház és Rendelőintézet Véradó Állomás");
    const QJsonObject book = writeAndRead(sheet);
    const QJsonArray widths = book.value("sheets").toArray()[0].toObject().value("widths").toArray();
    // Measured independently: Liberation Sans (Arial's metrics) at 10 pt on a
    // 96-dpi screen, where the font is 13 pixels high.
    QFont regular(QStringLiteral("Liberation Sans"));
    regular.setPixelSize(13);
    QFont bold = regular;
    bold.setBold(true);
    for (int c = 0; c < 7; ++c) {
        double widest = QFontMetricsF(bold).horizontalAdvance(sheet.headings[c]);
        for (const auto& row : sheet.rows)
            widest = std::max(widest, QFontMetricsF(regular).horizontalAdvance(row[c].toString()));
        const double expected = (widest + 5) / 7 * 256;
        const double actual = widths[c].toDouble();
        QVERIFY2(std::abs(actual - expected) <= 3 * 256 / 7.0, // within 3 pixels
                 qPrintable(QStringLiteral("column %1: %2 for %3").arg(c).arg(actual).arg(expected)));
    }
}

void TestXlsWriter::headingIsMeasuredBold()
{
    // The same text as a heading and as a data cell: the bold heading's
    // column is the wider one, in either order of first appearance.
    const QString text = QStringLiteral("HELYSZÍN (intézmény neve)");
    XlsSheet sheet;
    sheet.name = QStringLiteral("Csongrád");
    sheet.headings = {text, QStringLiteral("x"), text};
    sheet.rows.append({QStringLiteral("a"), text, QStringLiteral("b")});
    const QJsonArray widths = writeAndRead(sheet).value("sheets").toArray()[0].toObject().value("widths").toArray();
    QVERIFY2(widths[0].toInt() > widths[1].toInt(),
             qPrintable(QStringLiteral("%1 %2").arg(widths[0].toInt()).arg(widths[1].toInt())));
    QCOMPARE(widths[2].toInt(), widths[0].toInt());
}

void TestXlsWriter::overlongTextIsCut()
{
    // A cell holds at most 32,767 characters; a longer text is cut there,
    // never in the middle of a character beyond the Basic Multilingual Plane.
    XlsSheet sheet;
    sheet.name = QStringLiteral("Csongrád");
    sheet.headings = {QStringLiteral("Cím"), QStringLiteral("Helyszín")};
    const QString emoji = QStringLiteral("🩸");
    sheet.rows.append({QString(70000, u'ő'), QString(32766, u'a') + emoji});
    const QJsonObject book = writeAndRead(sheet);
    QVERIFY(book.value("largest_record").toInt() <= 8224);
    const QJsonArray row = book.value("sheets").toArray()[0].toObject().value("cells").toArray()[1].toArray();
    QCOMPARE(row[0].toObject().value("value").toString(), QString(32767, u'ő'));
    QCOMPARE(row[1].toObject().value("value").toString(), QString(32766, u'a'));
}

void TestXlsWriter::tooManyRowsAreRefused()
{
    QVERIFY_THROWS_EXCEPTION(ExportError, XlsWriter::workbookStream(monthSheet(65536)));
}

void TestXlsWriter::sheetNames_data()
{
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QString>("expected");
    QTest::newRow("county") << "Borsod-Abaúj-Zemplén"
                            << "Borsod-Abaúj-Zemplén";
    QTest::newRow("forbidden characters") << "a/b:c?d*e[f]g\\h"
                                          << "a_b_c_d_e_f_g_h";
    QTest::newRow("too long") << QString(40, u'ő') << QString(31, u'ő');
    QTest::newRow("an emoji across the cut") << QString(30, u'a') + QStringLiteral("🩸 vége") << QString(30, u'a');
    QTest::newRow("an emoji before the cut")
        << QString(29, u'a') + QStringLiteral("🩸 vége") << QString(29, u'a') + QStringLiteral("🩸");
    QTest::newRow("apostrophes at the ends") << "'Vas megye'"
                                             << "Vas megye";
    QTest::newRow("an apostrophe at the cut") << QString(30, u'a') + QStringLiteral("'b") << QString(30, u'a');
    QTest::newRow("only apostrophes") << "'''"
                                      << "Munka1";
    QTest::newRow("empty") << ""
                           << "Munka1";
}

void TestXlsWriter::sheetNames()
{
    QFETCH(QString, wanted);
    QFETCH(QString, expected);
    QCOMPARE(XlsWriter::sheetName(wanted), expected);
    if (QString::fromLatin1(QTest::currentDataTag()).startsWith(QLatin1String("an emoji"))) {
        XlsSheet sheet = monthSheet(2);
        sheet.name = wanted;
        QCOMPARE(writeAndRead(sheet)["sheets"].toArray()[0].toObject()["name"].toString(), expected); // xlrd opens it
    }
}

void TestXlsWriter::failingDeviceReportsAnError()
{
    for (qint64 limit : {0, 100, 600, 5000}) {
        FailingDevice device(limit);
        QVERIFY_THROWS_EXCEPTION(ExportError, XlsWriter::write(device, monthSheet(10)));
    }
}

void TestXlsWriter::unwritablePathLeavesNothing()
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("excel"));
    QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    QVERIFY_THROWS_EXCEPTION(ExportError, XlsWriter::writeFile(dir.filePath("excel/book.xls"), monthSheet(1)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"excel"});
}

QTEST_MAIN(TestXlsWriter)
#include "TestXlsWriter.moc"
