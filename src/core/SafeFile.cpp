#include "core/SafeFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace SafeFile
{

namespace
{

const QString FolderReason = QStringLiteral("It is a folder, not a file.");
const QString NotRegularReason =
    QStringLiteral("It is not a regular file (it is a pipe, a device or a socket).");

constexpr qint64 CopyChunk = 64 * 1024;

std::filesystem::path nativePath(const QString &path)
{
    return std::filesystem::path(path.toStdU16String());
}

#ifdef Q_OS_UNIX
QString systemReason(int error)
{
    return QString::fromStdString(std::generic_category().message(error));
}
#endif

// Copies `content` to `file` and makes sure the bytes reached the disk: a short
// write or a failed flush is a failure even where a later close would not say so.
bool writeAll(QFile &file, QIODevice &content, QString *reason)
{
    for (;;) {
        const QByteArray chunk = content.read(CopyChunk);
        if (chunk.isEmpty())
            break;
        if (file.write(chunk) != chunk.size()) {
            *reason = file.errorString();
            return false;
        }
    }
    // A read error looks like the end of the content; only a file says which.
    if (const auto *source = qobject_cast<QFileDevice *>(&content);
        source && source->error() != QFileDevice::NoError) {
        *reason = source->errorString();
        return false;
    }
    if (!file.flush()) {
        *reason = file.errorString();
        return false;
    }
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0) {
        *reason = systemReason(errno);
        return false;
    }
#endif
    file.close();
    if (file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace

bool openForReading(QFile &file, const QString &path, QString *reason)
{
    // Looked at before anything is opened: opening some devices already does
    // something (a tape rewinds), and a pipe would block the open itself.
    const QFileInfo info(path);
    if (info.isDir()) {
        *reason = FolderReason;
        return false;
    }
    if (info.exists() && !info.isFile()) {
        *reason = NotRegularReason;
        return false;
    }
#ifdef Q_OS_UNIX
    // Something else may have taken the file's place since: the open does not
    // wait, and what was opened is looked at once more.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *reason = systemReason(errno);
        return false;
    }
    struct stat status {
    };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        *reason = S_ISDIR(status.st_mode) ? FolderReason : NotRegularReason;
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        *reason = file.errorString();
        ::close(fd);
        return false;
    }
    return true;
#else
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return false;
    }
    return true;
#endif
}

bool replace(const QString &path, QIODevice &content, QString *reason)
{
    const QFileInfo entry(path);
    if (!entry.isSymbolicLink() && entry.isDir()) {
        *reason = FolderReason;
        return false;
    }

    // A name of its own beside the path; created only if nothing stands there,
    // so this open cannot follow a link either.
    QFile temporary(path + QStringLiteral(".") +
                    QString::number(QRandomGenerator::global()->generate64(), 36) +
                    QStringLiteral(".new"));
    if (!temporary.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        *reason = temporary.errorString();
        return false;
    }
    if (!entry.isSymbolicLink() && entry.isFile())
        temporary.setPermissions(entry.permissions());

    if (!writeAll(temporary, content, reason)) {
        temporary.remove();
        return false;
    }
    // Renaming replaces the entry at the path, whatever it is, and never
    // what a link there points to.
    std::error_code error;
    std::filesystem::rename(nativePath(temporary.fileName()), nativePath(path), error);
    if (error) {
        *reason = QString::fromStdString(error.message());
        temporary.remove();
        return false;
    }
    return true;
}

bool replace(const QString &path, const QByteArray &content, QString *reason)
{
    QBuffer buffer;
    buffer.setData(content);
    buffer.open(QIODevice::ReadOnly);
    return replace(path, buffer, reason);
}

} // namespace SafeFile
