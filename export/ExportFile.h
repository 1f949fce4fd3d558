#pragma once

#include <QString>

#include <memory>

class QIODevice;

// One file the export writes into a folder of the working folder (excel/,
// xml/, pdf/): only a regular file, never through a link. The folder is
// made (0700 under the umask) when missing and must be a real folder, not a
// link to one; an existing link, FIFO or other special file at the final
// name is refused, naming the file. The bytes go to a new file beside it,
// created exclusively and without following links, and replace an existing
// regular file only once they are all on the disk (rename), so a failure
// leaves the earlier file as it was and no half file behind.
//
//   ExportFile file(folderPath, "Csongrád Megye … .xls");   // throws ExportError
//   XlsWriter::write(file.device(), table);
//   file.commit();                                          // throws ExportError
class ExportFile {
public:
    ExportFile(const QString& folder, const QString& fileName);
    ~ExportFile(); // removes the new file unless committed
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    QString path() const;
    // Where the bytes go. A write that fails makes commit() throw with the
    // reason (a full disk said as such).
    QIODevice& device();
    // Throws ExportError with the reason when a write to device() failed.
    void throwIfWriteFailed() const;
    void commit();

private:
    struct Handles;
    std::unique_ptr<Handles> m_handles;
};
