// The compound file container alone, as exact bytes: the header, the
// directory and the FAT of a small stream, and the DIFAT of a large one.

#include "export/xls/CompoundFile.h"
#include "support/XlsRecords.h"

#include <QBuffer>
#include <QTest>
#include <QtEndian>

namespace {

quint32 u32At(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

} // namespace

class TestCompoundFile : public QObject {
    Q_OBJECT
private slots:
    void headerOfASmallStream();
    void directoryNamesTheStream();
    void fatChainsTheSectors();
    void largeStreamReachesItsFatThroughDifat();
    void wholeFileIsSectorsInOrder();
};

void TestCompoundFile::headerOfASmallStream()
{
    const xls::CompoundLayout layout(10); // padded to 4,096 bytes: 8 sectors
    QCOMPARE(layout.streamSectors, 8);
    const QByteArray header = xls::compoundHeader(layout);
    QCOMPARE(header.size(), 512);
    QCOMPARE(header.left(8), hexBytes("d0cf11e0a1b11ae1"));
    // Version 3, little-endian, 512-byte sectors, 64-byte mini sectors.
    QCOMPARE(header.mid(24, 10), hexBytes("3e00 0300 feff 0900 0600"));
    QCOMPARE(header.mid(44, 32), hexBytes("01000000 08000000 00000000 00100000 feffffff 00000000 feffffff 00000000"));
    QCOMPARE(u32At(header, 76), 9u); // the one FAT sector, after the directory
    QCOMPARE(header.mid(80), QByteArray(512 - 80, '\xff'));
}

void TestCompoundFile::directoryNamesTheStream()
{
    const QByteArray directory = xls::compoundDirectory(QStringLiteral("Workbook"), xls::CompoundLayout(10));
    QCOMPARE(directory.size(), 512);
    QCOMPARE(directory.left(20), hexBytes("5200 6f00 6f00 7400 2000 4500 6e00 7400 7200 7900")); // "Root Entry"
    QCOMPARE(directory.mid(64, 4), hexBytes("1600 05 01")); // name length, root storage, black
    QCOMPARE(u32At(directory, 76), 1u);                     // its child: the stream
    QCOMPARE(directory.mid(128, 16), hexBytes("5700 6f00 7200 6b00 6200 6f00 6f00 6b00")); // "Workbook"
    QCOMPARE(directory.mid(128 + 64, 4), hexBytes("1200 02 01"));
    QCOMPARE(u32At(directory, 128 + 116), 0u);    // first sector
    QCOMPARE(u32At(directory, 128 + 120), 4096u); // size
}

void TestCompoundFile::fatChainsTheSectors()
{
    const QByteArray fat = xls::compoundTables(xls::CompoundLayout(10));
    QCOMPARE(fat.size(), 512);
    for (quint32 s = 0; s < 7; ++s)
        QCOMPARE(u32At(fat, 4 * s), s + 1);
    QCOMPARE(u32At(fat, 28), 0xFFFFFFFEu); // end of the stream's chain
    QCOMPARE(u32At(fat, 32), 0xFFFFFFFEu); // the directory's one sector
    QCOMPARE(u32At(fat, 36), 0xFFFFFFFDu); // the FAT itself
    QCOMPARE(u32At(fat, 40), 0xFFFFFFFFu); // free
}

// More FAT sectors than the header's 109 slots: the rest are listed in
// DIFAT sectors, each ending with the next one's number.
void TestCompoundFile::largeStreamReachesItsFatThroughDifat()
{
    const xls::CompoundLayout layout(qint64(120) * 128 * 512);
    QVERIFY(layout.fatSectors > 109);
    QCOMPARE(layout.difatSectors, 1);
    const qint64 sectors = layout.streamSectors + 1 + layout.fatSectors + layout.difatSectors;
    QVERIFY(sectors <= layout.fatSectors * 128);
    const QByteArray header = xls::compoundHeader(layout);
    QCOMPARE(u32At(header, 68), layout.difatStart());
    QCOMPARE(u32At(header, 72), 1u);
    QCOMPARE(u32At(header, 76 + 4 * 108), layout.fatStart() + 108);
    const QByteArray tables = xls::compoundTables(layout);
    const QByteArray difat = tables.right(512);
    QCOMPARE(u32At(difat, 0), layout.fatStart() + 109);
    QCOMPARE(u32At(difat, 4 * 127), 0xFFFFFFFEu);
    QCOMPARE(u32At(tables, 4 * layout.difatStart()), 0xFFFFFFFCu); // the DIFAT sector's FAT entry
}

void TestCompoundFile::wholeFileIsSectorsInOrder()
{
    QByteArray file;
    QBuffer out(&file);
    out.open(QIODevice::WriteOnly);
    xls::writeCompoundFile(out, QStringLiteral("Workbook"), 10, [](QIODevice& device) { device.write("0123456789"); });
    const xls::CompoundLayout layout(10);
    QCOMPARE(file.size(), 512 + 4096 + 512 + 512);
    QCOMPARE(file.left(512), xls::compoundHeader(layout));
    QCOMPARE(file.mid(512, 10), QByteArray("0123456789"));
    QCOMPARE(file.mid(522, 4086), QByteArray(4086, '\0'));
    QCOMPARE(file.mid(512 + 4096, 512), xls::compoundDirectory(QStringLiteral("Workbook"), layout));
    QCOMPARE(file.right(512), xls::compoundTables(layout));
}

QTEST_GUILESS_MAIN(TestCompoundFile)
#include "TestCompoundFile.moc"
