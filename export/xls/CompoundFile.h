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
// writeStream writes to the device (false when the device refused).
// Returns false when the device refuses a write.
bool writeCompoundFile(QIODevice& out, const QString& streamName, qint64 streamSize,
                       const std::function<bool(QIODevice&)>& writeStream);

} // namespace xls
