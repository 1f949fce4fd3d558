#pragma once

#include <QString>

#include <functional>

class QIODevice;

// The OLE2 compound file container (version 3, 512-byte sectors) holding a
// single stream under the root storage. Streams shorter than 4,096 bytes
// are padded to that size, so no mini stream is needed; more FAT sectors
// than the header's 109 slots are reached through DIFAT sectors. The
// stream's sectors come first, the directory and the FAT after them, so the
// stream is written straight through, never held whole.
namespace xls {

// Writes the container around a stream of streamSize bytes, which
// writeStream writes to the device. Throws ExportError when the device
// refuses a write.
void writeCompoundFile(QIODevice& out, const QString& streamName, qint64 streamSize,
                       const std::function<void(QIODevice&)>& writeStream);

// Where the container puts its parts: the stream's sectors, then one
// directory sector, the FAT sectors and the DIFAT sectors.
struct CompoundLayout {
    explicit CompoundLayout(qint64 streamSize);
    qint64 streamSize; // padded to 4,096 bytes at least
    qint64 streamSectors;
    qint64 fatSectors;
    qint64 difatSectors;
    quint32 directoryStart() const { return quint32(streamSectors); }
    quint32 fatStart() const { return directoryStart() + 1; }
    quint32 difatStart() const { return fatStart() + quint32(fatSectors); }
};

// The parts of the container, for a stream of that layout.
QByteArray compoundHeader(const CompoundLayout& layout);
QByteArray compoundDirectory(const QString& streamName, const CompoundLayout& layout);
QByteArray compoundTables(const CompoundLayout& layout); // the FAT and the DIFAT sectors

} // namespace xls
