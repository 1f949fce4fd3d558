// The workbook globals alone, as exact bytes: the records in their order,
// and those a reader depends on byte for byte (BOF, the fonts, the cell
// formats, BOUNDSHEET with its offset field).

#include "export/xls/ByteWriter.h"
#include "export/xls/Globals.h"
#include "export/xls/Records.h"
#include "export/xls/SharedStrings.h"
#include "support/XlsRecords.h"

#include <QTest>

namespace {

struct Written {
    QByteArray stream;
    qsizetype offsetField;
};

Written globals(const QString& sheetName)
{
    xls::SharedStrings strings;
    Written written;
    xls::ByteWriter writer(written.stream);
    written.offsetField = xls::writeGlobals(writer, sheetName, strings);
    writer.finish();
    return written;
}

QList<quint16> typesOf(const QList<XlsRecord>& records)
{
    QList<quint16> types;
    for (const XlsRecord& record : records)
        types << record.type;
    return types;
}

} // namespace

class TestGlobals : public QObject {
    Q_OBJECT
private slots:
    void recordsInTheirOrder();
    void exactRecords();
    void sheetNameInEitherWidth_data();
    void sheetNameInEitherWidth();
};

void TestGlobals::recordsInTheirOrder()
{
    const QList<XlsRecord> records = xlsRecords(globals(QStringLiteral("Vas")).stream);
    using namespace xls;
    QList<quint16> expected{BOF, CODEPAGE, WINDOW1};
    expected << QList<quint16>(5, FONT) << QList<quint16>(17, XF);
    expected << QList<quint16>{STYLE, BOUNDSHEET, SST, EXTSST, EOF_};
    QCOMPARE(typesOf(records), expected);
}

void TestGlobals::exactRecords()
{
    const QList<XlsRecord> records = xlsRecords(globals(QStringLiteral("Vas")).stream);
    // BOF: BIFF8, workbook globals, build and year, no history, lowest version 6.
    QCOMPARE(records[0].body, hexBytes("0006 0500 bb0d cc07 00000000 06000000"));
    QCOMPARE(records[1].body, hexBytes("b004")); // CODEPAGE 1200: UTF-16
    // The regular Arial (the first four) and the bold one, index 5.
    QCOMPARE(records[3].body, hexBytes("c800 0000 ff7f 9001 0000 00 02 00 00 05 00 417269616c"));
    QCOMPARE(records[7].body, hexBytes("c800 0100 ff7f bc02 0000 00 02 00 00 05 00 417269616c"));
    // The data cell's format (15: Normal's child) and the heading's (16: bold, centred).
    QCOMPARE(records[23].body, hexBytes("0000 0000 0100 20 00 00 00 00000000 00000000 c020"));
    QCOMPARE(records[24].body, hexBytes("0500 0000 0100 22 00 00 18 00000000 00000000 c020"));
    QCOMPARE(records[25].body, hexBytes("0080 00 ff")); // STYLE: the built-in Normal
}

void TestGlobals::sheetNameInEitherWidth_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("expected"); // BOUNDSHEET after its offset field
    QTest::newRow("one byte a character") << "Vas" << hexBytes("00 00 03 00 566173");
    QTest::newRow("UTF-16") << "Győr" << hexBytes("00 00 04 01 4700 7900 5101 7200");
}

// BOUNDSHEET: the sheet's place (patched later: the field's position is
// returned), visible worksheet, the name in its width.
void TestGlobals::sheetNameInEitherWidth()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, expected);
    const Written written = globals(name);
    const QList<XlsRecord> records = xlsRecords(written.stream);
    const XlsRecord& sheet = records[26];
    QCOMPARE(sheet.type, quint16(xls::BOUNDSHEET));
    QCOMPARE(sheet.body.mid(4), expected);
    QCOMPARE(written.stream.mid(written.offsetField - 4, 4),
             QByteArray("\x85\x00", 2) + char(sheet.body.size()) + '\0');
}

QTEST_GUILESS_MAIN(TestGlobals)
#include "TestGlobals.moc"
