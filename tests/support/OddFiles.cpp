#include "support/OddFiles.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

bool makeSymlink(const QString &target, const QString &link)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) ==
           0;
}

bool makeSparseFile(const QString &path, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.resize(size);
}

double peakMemoryMiB()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

Watchdog::Watchdog(std::chrono::milliseconds limit, const char *what)
    : m_thread([this, limit, what] {
          std::unique_lock lock(m_mutex);
          if (!m_done.wait_for(lock, limit, [this] { return m_finished; })) {
              std::fprintf(stderr, "FAIL: %s did not return within %lld ms\n", what,
                           static_cast<long long>(limit.count()));
              std::fflush(stderr);
              std::_Exit(EXIT_FAILURE);
          }
      })
{
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_done.notify_one();
    m_thread.join();
}
