#pragma once

#include <QByteArray>
#include <QString>

class QFile;
class QIODevice;

// Files that the launcher reads and writes in its own folders. Whatever may
// have been put in their place (a pipe, a device, a link to a file elsewhere),
// reading never blocks or runs without end, and writing never reaches beyond
// the path itself.
namespace SafeFile
{

// Opens `path` for reading when it is a regular file, or a link to one. A
// folder, pipe, device or socket is refused without ever waiting on it: a pipe
// without a writer would block the open, and a device such as /dev/zero never
// ends. False, with the reason, when the file is refused or cannot be opened.
bool openForReading(QFile &file, const QString &path, QString *reason);

// Replaces what stands at `path` with `content`, read to its end: the bytes go
// to a new file beside it, which then takes the path's place in one step, so
// the path holds the old content or the new one and never a part. A link at
// `path` is itself replaced, never followed, so nothing outside the folder is
// written; a regular file keeps its permissions. A folder at `path` is left
// alone and refused. False, with the reason, when the content was not put in
// place; nothing is left behind then.
bool replace(const QString &path, QIODevice &content, QString *reason);
bool replace(const QString &path, const QByteArray &content, QString *reason);

} // namespace SafeFile
