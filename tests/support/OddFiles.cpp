#include "support/OddFiles.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>

#ifdef Q_OS_WIN
#include <qt_windows.h>
// After the line above, which it needs.
#include <psapi.h>
#else
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN

// Windows has no FIFOs in the file system, and its links need a privilege
// that a user normally lacks: tests of them skip there.
bool makeFifo(const QString &)
{
    return false;
}

bool makeSymlink(const QString &, const QString &)
{
    return false;
}

#else

bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

bool makeSymlink(const QString &target, const QString &link)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) ==
           0;
}

#endif

#ifdef Q_OS_WIN

UnreadableFile::UnreadableFile(const QString &path) : m_path(path) {}

UnreadableFile::~UnreadableFile() = default;

#else

namespace
{

// The capabilities that let root read and write whatever the mode bits say.
constexpr quint32 PermissionOverride = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

bool setEffectiveOverride(bool on, bool *changed)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    const quint32 before = data[0].effective;
    data[0].effective =
        on ? (before | (data[0].permitted & PermissionOverride)) : (before & ~PermissionOverride);
    *changed = data[0].effective != before;
    return !*changed || ::syscall(SYS_capset, &header, data) == 0;
}

} // namespace

UnreadableFile::UnreadableFile(const QString &path) : m_path(path)
{
    m_ok = QFile::setPermissions(path, QFileDevice::Permissions()) &&
           setEffectiveOverride(false, &m_capabilitiesDropped);
}

UnreadableFile::~UnreadableFile()
{
    bool changed = false;
    if (m_capabilitiesDropped)
        setEffectiveOverride(true, &changed);
    QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

#endif

bool makeSparseFile(const QString &path, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.resize(size);
}

double peakMemoryMiB()
{
#ifdef Q_OS_WIN
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return double(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
#else
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
#endif
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
