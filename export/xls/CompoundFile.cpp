#include "export/xls/CompoundFile.h"

#include "export/xls/Records.h"

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

// One 128-byte directory entry.
QByteArray directoryEntry(const QString& name, quint8 type, quint32 child, quint32 start, quint32 size)
{
    QByteArray entry;
    if (!name.isEmpty()) {
        putCharacters(entry, name, false);
        putU16(entry, 0);
    }
    entry.append(64 - entry.size(), '\0');
    putU16(entry, name.isEmpty() ? 0 : quint16((name.size() + 1) * 2));
    putU8(entry, type);
    putU8(entry, name.isEmpty() ? 0 : 1); // black: no red-black balancing needed
    putU32(entry, noStream);              // left sibling
    putU32(entry, noStream);              // right sibling
    putU32(entry, child);
    entry.append(16, '\0'); // CLSID
    putU32(entry, 0);       // state bits
    entry.append(16, '\0'); // creation and modification times
    putU32(entry, start);
    putU32(entry, size);
    putU32(entry, 0); // high part of the size (version 3)
    return entry;
}

} // namespace

bool writeCompoundFile(QIODevice& out, const QString& streamName, const QList<QByteArray>& parts)
{
    qsizetype streamSize = 0;
    for (const QByteArray& part : parts)
        streamSize += part.size();
    streamSize = std::max<qsizetype>(streamSize, miniStreamCutoff);
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
    header.append("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    header.append(16, '\0'); // CLSID
    putU16(header, 0x003E);  // minor version
    putU16(header, 0x0003);  // major version 3
    putU16(header, 0xFFFE);  // little-endian
    putU16(header, 9);       // 512-byte sectors
    putU16(header, 6);       // 64-byte mini sectors
    header.append(6, '\0');
    putU32(header, 0); // directory sectors (0 in version 3)
    putU32(header, quint32(fatSectors));
    putU32(header, directoryStart);
    putU32(header, 0); // transaction signature
    putU32(header, miniStreamCutoff);
    putU32(header, endOfChain); // no mini FAT
    putU32(header, 0);
    putU32(header, difatSectors ? difatStart : endOfChain);
    putU32(header, quint32(difatSectors));
    for (int i = 0; i < headerDifatSlots; ++i)
        putU32(header, i < fatSectors ? fatStart + quint32(i) : freeSector);

    QByteArray directory;
    directory.append(directoryEntry(QStringLiteral("Root Entry"), 5, 1, endOfChain, 0));
    directory.append(directoryEntry(streamName, 2, noStream, 0, quint32(streamSize)));
    directory.append(directoryEntry(QString(), 0, noStream, 0, 0));
    directory.append(directoryEntry(QString(), 0, noStream, 0, 0));

    QByteArray tables;
    for (quint32 entry : fat)
        putU32(tables, entry);
    for (qsizetype d = 0; d < difatSectors; ++d) {
        for (qsizetype i = 0; i < entriesPerSector - 1; ++i) {
            const qsizetype fatIndex = headerDifatSlots + d * (entriesPerSector - 1) + i;
            putU32(tables, fatIndex < fatSectors ? fatStart + quint32(fatIndex) : freeSector);
        }
        putU32(tables, d + 1 < difatSectors ? difatStart + quint32(d + 1) : endOfChain);
    }

    auto put = [&out](const QByteArray& bytes) { return out.write(bytes) == bytes.size(); };
    if (!put(header))
        return false;
    qsizetype written = 0;
    for (const QByteArray& part : parts) {
        if (!put(part))
            return false;
        written += part.size();
    }
    return put(QByteArray(streamSectors * sectorSize - written, '\0')) && put(directory) && put(tables);
}

} // namespace xls
