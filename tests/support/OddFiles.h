#pragma once

#include <QString>
#include <QTest>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Things that can stand where the launcher expects a regular file.

// A named pipe (FIFO) at `path`; nothing writes to it or reads from it.
bool makeFifo(const QString &path);

// A symbolic link at `link` that points to `target`, which need not exist.
bool makeSymlink(const QString &target, const QString &link);

// In a test: makes the pipe or link, or skips the case on Windows, which has
// no pipes in the file system and lets only administrators make links.
#ifdef Q_OS_WIN
#define MAKE_FIFO(path) QSKIP("Windows has no named pipes in the file system")
#define MAKE_SYMLINK(target, link) QSKIP("only administrators make symbolic links on Windows")
#else
#define MAKE_FIFO(path) QVERIFY(makeFifo(path))
#define MAKE_SYMLINK(target, link) QVERIFY(makeSymlink(target, link))
#endif

// A file of `size` zero bytes that takes no room on disk.
bool makeSparseFile(const QString &path, qint64 size);

// Makes `path` unreadable for this thread, even when it runs as root (CI
// does): the mode bits go to 000 and, for as long as the object lives, the
// thread gives up its power to override them. False from ok() where that
// cannot be had (Windows).
class UnreadableFile
{
public:
    explicit UnreadableFile(const QString &path);
    ~UnreadableFile();
    UnreadableFile(const UnreadableFile &) = delete;
    UnreadableFile &operator=(const UnreadableFile &) = delete;

    bool ok() const { return m_ok; }

private:
    QString m_path;
    bool m_ok = false;
    bool m_capabilitiesDropped = false;
};

// The process's peak resident memory so far, in MiB.
double peakMemoryMiB();

// Ends the test process with a message when the scope it guards has not ended
// within `limit`: a call blocked on a pipe never returns, and the test would
// otherwise hang until the runner's timeout.
class Watchdog
{
public:
    Watchdog(std::chrono::milliseconds limit, const char *what);
    ~Watchdog();

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};
