#include "export/ExportFile.h"

#include "export/ExportError.h"

#include <QFile>
#include <QIODevice>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void failed(const QString& path, int error)
{
    if (error == ENOSPC || error == EDQUOT)
        throw ExportError(QStringLiteral("Nincs elég szabad hely a lemezen a(z) %1 fájl mentéséhez.").arg(path));
    throw ExportError(QStringLiteral("A(z) %1 fájl nem menthető: %2").arg(path, reason(error)));
}

// Writes straight to a file descriptor and keeps the first error's errno,
// so that the message can say what happened.
class DescriptorDevice final : public QIODevice {
public:
    explicit DescriptorDevice(int fd)
        : m_fd(fd)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    int error() const { return m_error; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        qint64 written = 0;
        while (written < size && m_error == 0) {
            const ssize_t result = ::write(m_fd, data + written, size_t(size - written));
            if (result < 0 && errno == EINTR)
                continue;
            if (result < 0) {
                m_error = errno;
                setErrorString(reason(m_error));
                return -1;
            }
            written += result;
        }
        return m_error == 0 ? written : -1;
    }

private:
    int m_fd;
    int m_error = 0;
};

} // namespace

struct ExportFile::Handles {
    QString folder;
    QString fileName;
    QByteArray name;    // the final name, encoded
    QByteArray newName; // the file being written beside it
    int folderFd = -1;
    int fd = -1;
    std::unique_ptr<DescriptorDevice> device;
    bool committed = false;

    QString path() const { return folder + u'/' + fileName; }

    ~Handles()
    {
        device.reset();
        if (fd >= 0)
            ::close(fd);
        if (!committed && !newName.isEmpty() && folderFd >= 0)
            ::unlinkat(folderFd, newName.constData(), 0);
        if (folderFd >= 0)
            ::close(folderFd);
    }
};

ExportFile::ExportFile(const QString& folder, const QString& fileName)
    : m_handles(std::make_unique<Handles>())
{
    Handles& h = *m_handles;
    h.folder = folder;
    h.fileName = fileName;
    h.name = QFile::encodeName(fileName);
    const QByteArray folderPath = QFile::encodeName(folder);
    if (::mkdir(folderPath.constData(), 0700) != 0 && errno != EEXIST)
        throw ExportError(QStringLiteral("A(z) %1 mappa nem hozható létre: %2").arg(folder, reason(errno)));
    h.folderFd = ::open(folderPath.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (h.folderFd < 0) {
        if (errno == ELOOP || errno == ENOTDIR)
            throw ExportError(QStringLiteral("A(z) %1 nem mappa, hanem hivatkozás vagy fájl, ezért a program nem ír "
                                             "bele. Töröld vagy nevezd át, és próbáld újra.")
                                  .arg(folder));
        throw ExportError(QStringLiteral("A(z) %1 mappa nem nyitható meg: %2").arg(folder, reason(errno)));
    }
    struct stat existing { };
    if (::fstatat(h.folderFd, h.name.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(existing.st_mode))
        throw ExportError(QStringLiteral("A(z) %1 helyén hivatkozás vagy más különleges fájl áll, ezért a program "
                                         "nem írja felül. Töröld vagy nevezd át, és próbáld újra.")
                              .arg(h.path()));
    for (int attempt = 0; h.fd < 0; ++attempt) {
        h.newName =
            '.' + h.name.left(200) + '.' + QByteArray::number(QRandomGenerator::system()->generate(), 36) + ".uj";
        h.fd = ::openat(h.folderFd, h.newName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (h.fd < 0 && (errno != EEXIST || attempt > 8)) {
            const int error = errno;
            h.newName.clear();
            failed(h.path(), error);
        }
    }
    h.device = std::make_unique<DescriptorDevice>(h.fd);
}

ExportFile::~ExportFile() = default;

QString ExportFile::path() const
{
    return m_handles->path();
}

QIODevice& ExportFile::device()
{
    return *m_handles->device;
}

void ExportFile::throwIfWriteFailed() const
{
    if (m_handles->device->error() != 0)
        failed(m_handles->path(), m_handles->device->error());
}

void ExportFile::commit()
{
    Handles& h = *m_handles;
    throwIfWriteFailed();
    if (::fsync(h.fd) != 0 || ::close(h.fd) != 0) {
        const int error = errno;
        h.fd = -1;
        failed(h.path(), error);
    }
    h.fd = -1;
    // Replaces the directory entry itself: a link planted meanwhile is
    // replaced, never followed.
    if (::renameat(h.folderFd, h.newName.constData(), h.folderFd, h.name.constData()) != 0)
        failed(h.path(), errno);
    h.committed = true;
}
