#include "export/xls/CompoundFile.h"

#include "export/ExportError.h"
#include "export/xls/ByteWriter.h"

#include <QIODevice>

#include <algorithm>
#include <vector>

namespace xls {
namespace {

constexpr int sectorSize = 512;
constexpr quint32 freeSector = 0xFFFFFFFF;
constexpr quint32 endOfChain = 0xFFFFFFFE;
constexpr quint32 fatSector = 0xFFFFFFFD;
constexpr quint32 difatSector = 0xFFFFFFFC;
constexpr quint32 noStream = 0xFFFFFFFF;
constexpr int headerDifatSlots = 109;
constexpr int entriesPerSector = sectorSize / 4;
constexpr int miniStreamCutoff = 4096;

qint64 sectorsFor(qint64 bytes)
{
    return (bytes + sectorSize - 1) / sectorSize;
}

// One 128-byte directory entry; the name is followed by zeros, its
// terminator among them.
void directoryEntry(ByteWriter& out, const QString& name, quint8 type, quint32 child, quint32 start, quint32 size)
{
    const QByteArray zeros(64, '\0');
    out.characters(name, false);
    out.bytes(zeros.constData(), 64 - name.size() * 2);
    out.u16(name.isEmpty() ? 0 : quint16((name.size() + 1) * 2));
    out.u8(type);
    out.u8(name.isEmpty() ? 0 : 1); // black: no red-black balancing needed
    out.u32(noStream);              // left sibling
    out.u32(noStream);              // right sibling
    out.u32(child);
    out.bytes(zeros.constData(), 16); // CLSID
    out.u32(0);                       // state bits
    out.bytes(zeros.constData(), 16); // creation and modification times
    out.u32(start);
    out.u32(size);
    out.u32(0); // high part of the size (version 3)
}

} // namespace

CompoundLayout::CompoundLayout(qint64 dataSize)
    : streamSize(std::max<qint64>(dataSize, miniStreamCutoff))
    , streamSectors(sectorsFor(streamSize))
    , fatSectors(1)
    , difatSectors(0)
{
    // FAT and DIFAT sectors must be counted in the FAT themselves.
    for (;;) {
        difatSectors = fatSectors > headerDifatSlots
            ? (fatSectors - headerDifatSlots + entriesPerSector - 2) / (entriesPerSector - 1)
            : 0;
        if (streamSectors + 1 + fatSectors + difatSectors <= fatSectors * entriesPerSector)
            break;
        ++fatSectors;
    }
}

QByteArray compoundHeader(const CompoundLayout& layout)
{
    QByteArray header;
    ByteWriter w(header);
    w.bytes("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    w.bytes(QByteArray(16, '\0').constData(), 16); // CLSID
    w.u16(0x003E);                                 // minor version
    w.u16(0x0003);                                 // major version 3
    w.u16(0xFFFE);                                 // little-endian
    w.u16(9);                                      // 512-byte sectors
    w.u16(6);                                      // 64-byte mini sectors
    w.bytes(QByteArray(6, '\0').constData(), 6);
    w.u32(0); // directory sectors (0 in version 3)
    w.u32(quint32(layout.fatSectors));
    w.u32(layout.directoryStart());
    w.u32(0); // transaction signature
    w.u32(miniStreamCutoff);
    w.u32(endOfChain); // no mini FAT
    w.u32(0);
    w.u32(layout.difatSectors ? layout.difatStart() : endOfChain);
    w.u32(quint32(layout.difatSectors));
    for (int i = 0; i < headerDifatSlots; ++i)
        w.u32(i < layout.fatSectors ? layout.fatStart() + quint32(i) : freeSector);
    w.finish();
    return header;
}

QByteArray compoundDirectory(const QString& streamName, const CompoundLayout& layout)
{
    QByteArray directory;
    ByteWriter w(directory);
    directoryEntry(w, QStringLiteral("Root Entry"), 5, 1, endOfChain, 0);
    directoryEntry(w, streamName, 2, noStream, 0, quint32(layout.streamSize));
    directoryEntry(w, QString(), 0, noStream, 0, 0);
    directoryEntry(w, QString(), 0, noStream, 0, 0);
    w.finish();
    return directory;
}

QByteArray compoundTables(const CompoundLayout& layout)
{
    std::vector<quint32> fat(size_t(layout.fatSectors * entriesPerSector), freeSector);
    for (qint64 s = 0; s < layout.streamSectors; ++s)
        fat[size_t(s)] = s + 1 < layout.streamSectors ? quint32(s + 1) : endOfChain;
    fat[layout.directoryStart()] = endOfChain;
    for (qint64 s = 0; s < layout.fatSectors; ++s)
        fat[size_t(layout.fatStart() + s)] = fatSector;
    for (qint64 s = 0; s < layout.difatSectors; ++s)
        fat[size_t(layout.difatStart() + s)] = difatSector;

    QByteArray tables;
    ByteWriter w(tables);
    for (quint32 entry : fat)
        w.u32(entry);
    for (qint64 d = 0; d < layout.difatSectors; ++d) {
        for (qint64 i = 0; i < entriesPerSector - 1; ++i) {
            const qint64 fatIndex = headerDifatSlots + d * (entriesPerSector - 1) + i;
            w.u32(fatIndex < layout.fatSectors ? layout.fatStart() + quint32(fatIndex) : freeSector);
        }
        w.u32(d + 1 < layout.difatSectors ? layout.difatStart() + quint32(d + 1) : endOfChain);
    }
    w.finish();
    return tables;
}

void writeCompoundFile(QIODevice& out, const QString& streamName, qint64 dataSize,
                       const std::function<void(QIODevice&)>& writeStream)
{
    const CompoundLayout layout(dataSize);
    auto put = [&out](const QByteArray& bytes) {
        if (out.write(bytes) != bytes.size())
            throw ExportError(QStringLiteral("A munkafüzet nem írható: %1").arg(out.errorString()));
    };
    put(compoundHeader(layout));
    writeStream(out);
    put(QByteArray(layout.streamSectors * sectorSize - dataSize, '\0'));
    put(compoundDirectory(streamName, layout));
    put(compoundTables(layout));
}

} // namespace xls
