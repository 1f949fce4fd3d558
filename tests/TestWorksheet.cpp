// The worksheet alone, as exact bytes: DIMENSIONS, COLINFO, ROW and the
// cells of a small table, and what its first pass measured.

#include "export/ExportError.h"
#include "export/xls/ByteWriter.h"
#include "export/xls/Records.h"
#include "export/xls/SharedStrings.h"
#include "export/xls/Worksheet.h"
#include "model/DataTable.h"
#include "support/XlsRecords.h"

#include <QBuffer>
#include <QTest>

namespace {

MemoryTable twoByTwo()
{
    MemoryTable table;
    table.headings = {QStringLiteral("IRSZ"), QStringLiteral("TELEPÜLÉS")};
    table.rows.append({6720, QStringLiteral("Szeged")});
    table.rows.append({6900, QStringLiteral("Szeged")}); // the same text again
    return table;
}

QByteArray written(const xls::Worksheet& sheet)
{
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    QByteArray buffer;
    xls::ByteWriter stream(buffer);
    sheet.write(stream, out);
    return bytes;
}

} // namespace

class TestWorksheet : public QObject {
    Q_OBJECT
private slots:
    void exactRecords();
    void sizeIsWhatIsWritten();
    void sharedStringsOfTheCells();
    void tableNoSheetCanHoldIsRefused();
};

void TestWorksheet::exactRecords()
{
    const MemoryTable table = twoByTwo();
    xls::SharedStrings strings;
    const xls::Worksheet sheet(table, strings);
    const QList<XlsRecord> records = xlsRecords(written(sheet));
    using namespace xls;
    QCOMPARE(records[0].type, quint16(BOF));
    QCOMPARE(records[0].body.left(4), hexBytes("0006 1000")); // a worksheet
    QCOMPARE(records[1].type, quint16(DIMENSIONS));
    QCOMPARE(records[1].body, hexBytes("00000000 03000000 0000 0200 0000")); // rows 0..2, columns 0..1
    QCOMPARE(records[2].type, quint16(COLINFO));
    QCOMPARE(records[2].body.left(4), hexBytes("0000 0000"));
    QCOMPARE(records[2].body.mid(6), hexBytes("0f00 0600 0000")); // data format, best fit
    // Three ROW records, then the block's cells: the headings (format 16)
    // as strings 0 and 1, the numbers, the repeated text as string 2 twice.
    for (int r = 0; r < 3; ++r) {
        QCOMPARE(records[4 + r].type, quint16(ROW));
        QCOMPARE(records[4 + r].body,
                 hexBytes("0000 0000 0200 ff00 0000 0000 0001 0f00").replace(0, 1, QByteArray(1, char(r))));
    }
    QCOMPARE(records[7].body, hexBytes("0000 0000 1000 00000000"));
    QCOMPARE(records[8].body, hexBytes("0000 0100 1000 01000000"));
    QCOMPARE(records[9].type, quint16(NUMBER));
    QCOMPARE(records[9].body, hexBytes("0100 0000 0f00 000000000040ba40")); // 6720.0
    QCOMPARE(records[10].body, hexBytes("0100 0100 0f00 02000000"));
    QCOMPARE(records[12].body, hexBytes("0200 0100 0f00 02000000"));
    QCOMPARE(records.last().type, quint16(EOF_));
}

void TestWorksheet::sizeIsWhatIsWritten()
{
    const MemoryTable table = twoByTwo();
    xls::SharedStrings strings;
    const xls::Worksheet sheet(table, strings);
    QCOMPARE(qint64(written(sheet).size()), sheet.size());
}

void TestWorksheet::sharedStringsOfTheCells()
{
    const MemoryTable table = twoByTwo();
    xls::SharedStrings strings;
    const xls::Worksheet sheet(table, strings);
    QCOMPARE(strings.uniqueCount(), 3);
    QCOMPARE(strings.at(2), QStringLiteral("Szeged"));
}

void TestWorksheet::tableNoSheetCanHoldIsRefused()
{
    MemoryTable none;
    xls::SharedStrings strings;
    QVERIFY_THROWS_EXCEPTION(ExportError, xls::Worksheet(none, strings)); // no column
}

QTEST_GUILESS_MAIN(TestWorksheet)
#include "TestWorksheet.moc"
