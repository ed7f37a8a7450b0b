#pragma once

#include <QByteArray>
#include <QStringList>

// The two large history lists that history_save_loop saves in turn. Both are
// several megabytes, so that a save takes long enough to be interrupted, and of
// different lengths, so that a mix of the two cannot pass for either.
inline QStringList saveLoopItems(int variant)
{
    const int count = variant == 0 ? 12000 : 9000;
    const QChar fill = variant == 0 ? u'A' : u'B';
    QStringList items;
    items.reserve(count);
    for (int i = 0; i < count; ++i)
        items << QString::number(i).rightJustified(6, u'0') + QString(300, fill);
    return items;
}

inline QByteArray saveLoopFileBytes(int variant)
{
    QByteArray bytes;
    for (const QString &item : saveLoopItems(variant))
        bytes += item.toLatin1() + "\r\n";
    return bytes;
}
