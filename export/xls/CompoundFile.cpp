#include "export/xls/CompoundFile.h"

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

qsizetype sectorsFor(qsizetype bytes)
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

bool writeCompoundFile(QIODevice& out, const QString& streamName, qint64 dataSize,
                       const std::function<bool(QIODevice&)>& writeStream)
{
    const qsizetype streamSize = std::max<qsizetype>(dataSize, miniStreamCutoff);
    const qsizetype streamSectors = sectorsFor(streamSize);
    const qsizetype directorySectors = 1; // root and one stream: 2 of the 4 entries of one sector

    // FAT and DIFAT sectors must be counted in the FAT themselves.
    qsizetype fatSectors = 1;
    qsizetype difatSectors = 0;
    for (;;) {
        difatSectors = fatSectors > headerDifatSlots
            ? (fatSectors - headerDifatSlots + entriesPerSector - 2) / (entriesPerSector - 1)
            : 0;
        const qsizetype total = streamSectors + directorySectors + fatSectors + difatSectors;
        if (total <= fatSectors * entriesPerSector)
            break;
        ++fatSectors;
    }
    const quint32 directoryStart = quint32(streamSectors);
    const quint32 fatStart = directoryStart + quint32(directorySectors);
    const quint32 difatStart = fatStart + quint32(fatSectors);

    std::vector<quint32> fat(size_t(fatSectors * entriesPerSector), freeSector);
    for (qsizetype s = 0; s < streamSectors; ++s)
        fat[size_t(s)] = s + 1 < streamSectors ? quint32(s + 1) : endOfChain;
    fat[directoryStart] = endOfChain;
    for (qsizetype s = 0; s < fatSectors; ++s)
        fat[size_t(fatStart + s)] = fatSector;
    for (qsizetype s = 0; s < difatSectors; ++s)
        fat[size_t(difatStart + s)] = difatSector;

    QByteArray header;
    {
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
        w.u32(quint32(fatSectors));
        w.u32(directoryStart);
        w.u32(0); // transaction signature
        w.u32(miniStreamCutoff);
        w.u32(endOfChain); // no mini FAT
        w.u32(0);
        w.u32(difatSectors ? difatStart : endOfChain);
        w.u32(quint32(difatSectors));
        for (int i = 0; i < headerDifatSlots; ++i)
            w.u32(i < fatSectors ? fatStart + quint32(i) : freeSector);
    }

    QByteArray directory;
    {
        ByteWriter w(directory);
        directoryEntry(w, QStringLiteral("Root Entry"), 5, 1, endOfChain, 0);
        directoryEntry(w, streamName, 2, noStream, 0, quint32(streamSize));
        directoryEntry(w, QString(), 0, noStream, 0, 0);
        directoryEntry(w, QString(), 0, noStream, 0, 0);
    }

    QByteArray tables;
    {
        ByteWriter w(tables);
        for (quint32 entry : fat)
            w.u32(entry);
        for (qsizetype d = 0; d < difatSectors; ++d) {
            for (qsizetype i = 0; i < entriesPerSector - 1; ++i) {
                const qsizetype fatIndex = headerDifatSlots + d * (entriesPerSector - 1) + i;
                w.u32(fatIndex < fatSectors ? fatStart + quint32(fatIndex) : freeSector);
            }
            w.u32(d + 1 < difatSectors ? difatStart + quint32(d + 1) : endOfChain);
        }
    }

    auto put = [&out](const QByteArray& bytes) { return out.write(bytes) == bytes.size(); };
    return put(header) && writeStream(out) && put(QByteArray(streamSectors * sectorSize - dataSize, '\0'))
        && put(directory) && put(tables);
}

} // namespace xls
