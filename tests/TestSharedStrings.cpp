// The workbook's shared string table alone, as exact bytes: the SST record,
// its CONTINUE records past 8,224 bytes of data, and EXTSST. A reader such
// as xlrd tolerates a string header left at the very end of a record, so
// only the bytes show that the writer never does it.

#include "export/xls/ByteWriter.h"
#include "export/xls/Records.h"
#include "export/xls/SharedStrings.h"
#include "support/XlsRecords.h"

#include <QTest>
#include <QtEndian>

namespace {

using Record = XlsRecord;

QList<Record> recordsOf(const QByteArray& stream)
{
    return xlsRecords(stream);
}

QByteArray written(const xls::SharedStrings& strings)
{
    QByteArray stream;
    {
        xls::ByteWriter writer(stream);
        strings.write(writer);
    }
    return stream;
}

// Reads the strings back from SST and its CONTINUEs the way the format
// defines them, and fails the test where a record ends with a string's
// header but none of its characters, or splits a header.
QStringList readBack(const QList<Record>& records)
{
    QStringList strings;
    int r = 0;
    qsizetype at = 8; // total and unique counts
    const auto& body = [&]() -> const QByteArray& { return records[r].body; };
    const quint32 unique = qFromLittleEndian<quint32>(body().constData() + 4);
    for (quint32 i = 0; i < unique; ++i) {
        if (at == body().size()) {
            ++r;
            at = 0;
        }
        if (at + 3 > body().size()) {
            QTest::qFail("a string's header is split between two records", __FILE__, __LINE__);
            return strings;
        }
        const quint16 length = qFromLittleEndian<quint16>(body().constData() + at);
        bool wide = body()[at + 2] & 1;
        at += 3;
        if (at == body().size() && length > 0) {
            QTest::qFail(qPrintable(QStringLiteral("record %1 ends with the header of string %2 and none of its "
                                                   "characters")
                                        .arg(r)
                                        .arg(i)),
                         __FILE__, __LINE__);
            return strings;
        }
        QString text;
        while (text.size() < length) {
            if (at == body().size()) {
                ++r;
                wide = records[r].body[0] & 1; // a continued string restates its width
                at = 1;
            }
            const qsizetype take = std::min<qsizetype>(length - text.size(), (body().size() - at) / (wide ? 2 : 1));
            for (qsizetype k = 0; k < take; ++k, at += wide ? 2 : 1)
                text += wide ? QChar(qFromLittleEndian<quint16>(body().constData() + at)) : QChar(uchar(body()[at]));
        }
        strings << text;
    }
    return strings;
}

} // namespace

class TestSharedStrings : public QObject {
    Q_OBJECT
private slots:
    void noRecordEndsWithABareHeader_data();
    void noRecordEndsWithABareHeader();
    void exactBytesOfAContinuedString_data();
    void exactBytesOfAContinuedString();
    void repeatedTextsShareOneString();
};

void TestSharedStrings::noRecordEndsWithABareHeader_data()
{
    QTest::addColumn<bool>("wide");
    QTest::addColumn<int>("room"); // bytes left in the record when the string's header comes
    for (const bool wide : {false, true}) {
        for (int room = 1; room <= (wide ? 6 : 5); ++room)
            QTest::addRow("%s string, %d bytes left", wide ? "UTF-16" : "one-byte", room) << wide << room;
    }
}

void TestSharedStrings::noRecordEndsWithABareHeader()
{
    QFETCH(bool, wide);
    QFETCH(int, room);
    xls::SharedStrings strings;
    QStringList added;
    auto add = [&](const QString& text) {
        strings.add(text);
        added << text;
    };
    // One-byte strings of 23 bytes each, then one of the length that leaves
    // exactly `room` bytes of the first record.
    qsizetype used = 8;
    const qsizetype target = xls::maxRecordBody - room;
    while (target - used > 100) {
        add(QStringLiteral("karakterlanc-%1").arg(added.size(), 7, 10, QChar(u'0')));
        used += 3 + 20;
    }
    add(QString(target - used - 3, QChar(u'x')));
    const QString probe = (wide ? QStringLiteral("ő") : QStringLiteral("o")) + QStringLiteral("-a-vizsgalt-szoveg");
    add(probe);
    add(QStringLiteral("utana"));

    const QList<Record> records = recordsOf(written(strings));
    QCOMPARE(records.size(), 3);
    QCOMPARE(records[0].type, quint16(xls::SST));
    QCOMPARE(records[1].type, quint16(xls::CONTINUE));
    QCOMPARE(records[2].type, quint16(xls::EXTSST));
    const int charSize = wide ? 2 : 1;
    // The header stays with its first character: where they do not both
    // fit, the record ends early and the string opens the CONTINUE.
    if (room < 3 + charSize) {
        QCOMPARE(records[0].body.size(), qsizetype(target));
        QCOMPARE(records[1].body.left(3), QByteArray("\x13\x00", 2) + char(wide ? 1 : 0));
    } else {
        QVERIFY(records[0].body.size() >= target + 3 + charSize);
        QCOMPARE(records[1].body.at(0), char(wide ? 1 : 0)); // the rest of the string, its width restated
    }
    QCOMPARE(readBack(records.mid(0, 2)), added);
}

void TestSharedStrings::exactBytesOfAContinuedString_data()
{
    QTest::addColumn<bool>("wide");
    QTest::newRow("one byte a character") << false;
    QTest::newRow("UTF-16") << true;
}

// One string longer than a record: SST holds its header and as many
// characters as fit, the CONTINUE restates the width and holds the rest;
// EXTSST points at the string in the SST.
void TestSharedStrings::exactBytesOfAContinuedString()
{
    QFETCH(bool, wide);
    const QChar letter = wide ? QChar(0x0151) : QChar(u'a'); // ő is beyond U+00FF
    const int length = wide ? 4200 : 8300;
    xls::SharedStrings strings;
    strings.add(QString(length, letter));
    const QList<Record> records = recordsOf(written(strings));
    QCOMPARE(records.size(), 3);
    // In the SST: one reference, one string, its header (length, flags), then
    // every character that fits the 8,224 bytes (UTF-16: 4,106 of them, one
    // byte left over, since no character is split).
    const int first = wide ? 4106 : 8213;
    const QByteArray character = wide ? QByteArray("\x51\x01", 2) : QByteArray("a");
    QCOMPARE(records[0].type, quint16(xls::SST));
    QCOMPARE(records[0].body.left(11),
             (wide ? hexBytes("01000000 01000000 6810 01") : hexBytes("01000000 01000000 6c20 00")));
    QCOMPARE(records[0].body.mid(11), character.repeated(first));
    QCOMPARE(records[1].type, quint16(xls::CONTINUE));
    QCOMPARE(records[1].body, QByteArray(1, char(wide ? 1 : 0)) + character.repeated(length - first));
    QCOMPARE(records[2].type, quint16(xls::EXTSST));
    QCOMPARE(records[2].body, hexBytes("0800 0c000000 0c00 0000")); // the string's place: 12 bytes in
}

// A text seen again is a reference to the same string: the SST counts
// both, and holds the string once.
void TestSharedStrings::repeatedTextsShareOneString()
{
    xls::SharedStrings strings;
    QCOMPARE(strings.add(QStringLiteral("Vas")), 0u);
    QCOMPARE(strings.add(QStringLiteral("Zala")), 1u);
    bool added = true;
    QCOMPARE(strings.add(QStringLiteral("Vas"), &added), 0u);
    QVERIFY(!added);
    strings.addReference();
    const QList<Record> records = recordsOf(written(strings));
    QCOMPARE(records[0].body, hexBytes("04000000 02000000 0300 00 566173 0400 00 5a616c61"));
}

QTEST_GUILESS_MAIN(TestSharedStrings)
#include "TestSharedStrings.moc"
