#pragma once

#include "rules/Failure.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class QFile;
class QIODevice;

// Files that the launcher reads and writes in its own folders. Whatever may
// have been put in their place (a pipe, a device, a link to a file elsewhere),
// reading never blocks or runs without end, and writing never reaches beyond
// the path itself.
namespace Nimbrel::SafeFile
{

// Opens `path` for reading when it is a regular file, or a link to one. A
// folder, pipe, device or socket is refused without ever waiting on it: a pipe
// without a writer would block the open, and a device such as /dev/zero never
// ends. A failure naming `path` and the reason (and leaving what was being
// done to the caller) when the file is refused or cannot be opened.
MaybeFailure openForReading(QFile &file, const QString &path);

// Replaces what stands at `path` with `content`, read to its end: the bytes go
// to a new file beside it, which then takes the path's place in one step, so
// the path holds the old content or the new one and never a part. A link at
// `path` is itself replaced, never followed, so nothing outside the folder is
// written; a regular file keeps its permissions. A folder at `path` is left
// alone and refused. A failure, as above, when the content was not put in
// place; nothing is left behind then.
MaybeFailure replace(const QString &path, QIODevice &content);
MaybeFailure replace(const QString &path, const QByteArray &content);

// For a file the user may have linked elsewhere on purpose (a history list
// kept in a synced folder): as replace(), but a link at `path` is followed to
// the file it finally names, and that file is replaced in its own folder, so
// the link stays a link. A target that is not a regular file (a pipe, a
// device) is refused; a file without the owner's write permission is refused
// too, whoever runs the launcher. `content` is followed by what is left of
// `tail`, if given.
MaybeFailure replaceTarget(const QString &path, const QByteArray &content, QIODevice *tail);

// What a file is on disk, enough to tell that another program has written or
// replaced it: two stamps of the same path differ after any such change.
struct Stamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds where the system keeps them
    qint64 statusChanged = 0;
    qint64 fileId = 0;

    friend bool operator==(const Stamp &, const Stamp &) = default;
};

// The stamp of the file at `path`, a link followed.
Stamp stamp(const QString &path);

// Removes the temporary files a save of `path` left beside it when the
// process was killed in its middle. Only names of the form replace() gives
// them count, and only files nobody has written to for a minute: a save
// under way elsewhere (another display's launcher) keeps its file.
void removeLeftoverTemporaries(const QString &path);

} // namespace Nimbrel::SafeFile
