#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QIODevice;

// The OLE2 compound file container (version 3, 512-byte sectors) holding a
// single stream under the root storage. Streams shorter than 4,096 bytes
// are padded to that size, so no mini stream is needed; more FAT sectors
// than the header's 109 slots are reached through DIFAT sectors.
namespace xls {

// Writes the container with the concatenation of `parts` stored as
// streamName; the parts are written as they are, never joined in memory.
// Returns false when the device refuses a write.
bool writeCompoundFile(QIODevice& out, const QString& streamName, const QList<QByteArray>& parts);

} // namespace xls
