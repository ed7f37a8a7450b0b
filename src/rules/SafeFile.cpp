#include "rules/SafeFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Nimbrel::SafeFile
{

namespace
{

QString folderReason()
{
    return QCoreApplication::translate("Nimbrel::SafeFile", "It is a folder, not a file.");
}

QString notRegularReason()
{
    return QCoreApplication::translate(
        "Nimbrel::SafeFile", "It is not a regular file (it is a pipe, a device or a socket).");
}

constexpr qint64 CopyChunk = 64 * 1024;

std::filesystem::path nativePath(const QString &path)
{
    return std::filesystem::path(path.toStdU16String());
}

// What the caller is doing is the caller's to say.
Failure refusal(const QString &path, const QString &reason)
{
    return {QString(), path, reason};
}

#ifdef Q_OS_UNIX
QString systemReason(int error)
{
    return QString::fromStdString(std::generic_category().message(error));
}
#endif

// Copies `content` to `file`.
bool copyAll(QFile &file, QIODevice &content, QString *reason)
{
    for (;;) {
        const QByteArray chunk = content.read(CopyChunk);
        if (chunk.isEmpty())
            break;
        // A write the disk could take only part of returns short without an
        // error; writing the rest is what brings out the system's reason.
        for (qint64 done = 0; done < chunk.size();) {
            const qint64 written = file.write(chunk.constData() + done, chunk.size() - done);
            if (written <= 0) {
                *reason = file.errorString();
                return false;
            }
            done += written;
        }
    }
    // A read error looks like the end of the content; only a file says which.
    if (const auto *source = qobject_cast<QFileDevice *>(&content);
        source && source->error() != QFileDevice::NoError) {
        *reason = source->errorString();
        return false;
    }
    return true;
}

// Makes sure the bytes written reached the disk: a short write or a failed
// flush is a failure even where a later close would not say so.
bool finish(QFile &file, QString *reason)
{
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

const QString TemporarySuffix = QStringLiteral(".new");

// The name of a new file beside `path`, unique to this save.
QString temporaryName(const QString &path)
{
    return path + QStringLiteral(".") +
           QString::number(QRandomGenerator::global()->generate64(), 36) + TemporarySuffix;
}

// Removes a new file that is not to take the path's place. A close that
// fails (the disk is full) keeps QFile::remove() from removing.
void discard(QFile &temporary)
{
    temporary.close();
    QFile::remove(temporary.fileName());
}

// Writes `content`, then `tail`, to a new file beside `path` and renames it
// to `path`, which replaces whatever entry stands there. `model`, when it is
// a regular file, lends the new file its permissions.
MaybeFailure writeAndRename(const QString &path, const QFileInfo &model, QIODevice &content,
                            QIODevice *tail)
{
    // Created only if nothing stands there, so this open cannot follow a link.
    QFile temporary(temporaryName(path));
    // Unbuffered, so that each write says what the disk did with it: a
    // buffer flushed onto a full disk only says "Unknown error".
    if (!temporary.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return refusal(path, temporary.errorString());
    if (!model.isSymbolicLink() && model.isFile())
        temporary.setPermissions(model.permissions());

    QString reason;
    if (!copyAll(temporary, content, &reason) || (tail && !copyAll(temporary, *tail, &reason)) ||
        !finish(temporary, &reason)) {
        discard(temporary);
        return refusal(path, reason);
    }
    // The tail is often the old file itself, and Windows renames nothing over
    // a file that is still open.
    if (tail)
        tail->close();
    std::error_code error;
    std::filesystem::rename(nativePath(temporary.fileName()), nativePath(path), error);
    if (error) {
        discard(temporary);
        return refusal(path, QString::fromStdString(error.message()));
    }
    return std::nullopt;
}

} // namespace

MaybeFailure openForReading(QFile &file, const QString &path)
{
    // Looked at before anything is opened: opening some devices already does
    // something (a tape rewinds), and a pipe would block the open itself.
    const QFileInfo info(path);
    if (info.isDir())
        return refusal(path, folderReason());
    if (info.exists() && !info.isFile())
        return refusal(path, notRegularReason());
#ifdef Q_OS_UNIX
    // Something else may have taken the file's place since: the open does not
    // wait, and what was opened is looked at once more.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return refusal(path, systemReason(errno));
    struct stat status {
    };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return refusal(path, S_ISDIR(status.st_mode) ? folderReason() : notRegularReason());
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refusal(path, file.errorString());
    }
    return std::nullopt;
#else
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return refusal(path, file.errorString());
    return std::nullopt;
#endif
}

MaybeFailure replace(const QString &path, QIODevice &content)
{
    const QFileInfo entry(path);
    if (!entry.isSymbolicLink() && entry.isDir())
        return refusal(path, folderReason());
    // Renaming replaces the entry at the path, whatever it is, and never
    // what a link there points to.
    return writeAndRename(path, entry, content, nullptr);
}

MaybeFailure replace(const QString &path, const QByteArray &content)
{
    QBuffer buffer;
    buffer.setData(content);
    buffer.open(QIODevice::ReadOnly);
    return replace(path, buffer);
}

MaybeFailure replaceTarget(const QString &path, const QByteArray &content, QIODevice *tail)
{
    QFileInfo target(path);
    if (target.isSymbolicLink()) {
        // A link that leads nowhere names the file to be made, as an editor
        // would take it; a loop of links is refused like a missing folder.
        const QString followed =
            target.exists() ? target.canonicalFilePath() : target.symLinkTarget();
        if (followed.isEmpty())
            return refusal(path, QCoreApplication::translate(
                                     "Nimbrel::SafeFile", "It is a link that leads to no file."));
        target = QFileInfo(followed);
    }
    if (target.isDir())
        return refusal(path, folderReason());
    if (target.exists() && !target.isFile())
        return refusal(path, notRegularReason());
    // Root may write anywhere; the mode bits still say what the user wants.
    if (target.exists() && !(target.permissions() & QFileDevice::WriteOwner))
        return refusal(path,
                       QCoreApplication::translate("Nimbrel::SafeFile",
                                                   "The file is read-only; it was left as it is."));
    QBuffer buffer;
    buffer.setData(content);
    buffer.open(QIODevice::ReadOnly);
    // Told by the name the caller knows the file by.
    if (const MaybeFailure failure =
            writeAndRename(target.absoluteFilePath(), target, buffer, tail))
        return refusal(path, failure->reason);
    return std::nullopt;
}

Stamp stamp(const QString &path)
{
    Stamp result;
#ifdef Q_OS_UNIX
    struct stat status {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return result;
    result.exists = true;
    result.size = status.st_size;
    result.modified = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    result.statusChanged = qint64(status.st_ctim.tv_sec) * 1000000000 + status.st_ctim.tv_nsec;
    result.fileId = qint64(quint64(status.st_ino) ^ (quint64(status.st_dev) << 32));
#else
    const QFileInfo info(path);
    if (!info.exists())
        return result;
    result.exists = true;
    result.size = info.size();
    result.modified = info.lastModified().toMSecsSinceEpoch();
    result.statusChanged = info.birthTime().toMSecsSinceEpoch();
#endif
    return result;
}

void removeLeftoverTemporaries(const QString &path)
{
    const QFileInfo info(path);
    const QRegularExpression ownName(QStringLiteral("\\A%1\\.[0-9a-z]{1,13}%2\\z")
                                         .arg(QRegularExpression::escape(info.fileName()),
                                              QRegularExpression::escape(TemporarySuffix)));
    const QDateTime aMinuteAgo = QDateTime::currentDateTimeUtc().addSecs(-60);
    const QFileInfoList candidates =
        info.dir().entryInfoList({info.fileName() + QStringLiteral(".*") + TemporarySuffix},
                                 QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &candidate : candidates) {
        if (!candidate.isSymbolicLink() && candidate.isFile() &&
            ownName.match(candidate.fileName()).hasMatch() &&
            candidate.lastModified().toUTC() < aMinuteAgo)
            QFile::remove(candidate.absoluteFilePath());
    }
}

} // namespace Nimbrel::SafeFile
