#pragma once

#include "rules/FoldedItems.h"
#include "rules/SafeFile.h"

#include <QString>

namespace Nimbrel
{

// The items of a history list's file as they are on disk, read (and folded
// for matching) again only once the file has changed. It reads as loading the
// list does, with the same bounds and only a regular file, and never writes.
class ListFileSnapshot
{
public:
    // The items of the file at `path`, up to `maxItems` of them as loading a
    // list of that size reads them; none when there is no file or it cannot be
    // read, which is not this reader's to report.
    const FoldedItems &read(const QString &path, qint16 maxItems);

private:
    bool m_read = false;
    QString m_path;
    qint16 m_maxItems = 0;
    SafeFile::Stamp m_stamp;
    FoldedItems m_items;
};

} // namespace Nimbrel
