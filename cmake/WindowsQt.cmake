# Toolchain of the `windows` preset: the Qt for Windows that
# scripts/windows-toolchain makes, whose own toolchain file brings the MinGW-w64
# compilers and Qt's host tools. NIMBREL_WINDOWS_QT names another Qt for
# Windows install; otherwise the newest one the script made is used.
if(DEFINED ENV{NIMBREL_WINDOWS_QT})
    set(nimbrel_windows_qt "$ENV{NIMBREL_WINDOWS_QT}")
else()
    if(DEFINED ENV{NIMBREL_WINDOWS_QT_CACHE})
        set(cache "$ENV{NIMBREL_WINDOWS_QT_CACHE}")
    elseif(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
        set(cache "$ENV{XDG_CACHE_HOME}/nimbrel-launcher/windows-qt")
    else()
        set(cache "$ENV{HOME}/.cache/nimbrel-launcher/windows-qt")
    endif()
    # The link is followed once, so that a build stays with the Qt it was
    # configured with when the script later makes another.
    file(REAL_PATH "${cache}/current" nimbrel_windows_qt)
endif()

set(qt_toolchain "${nimbrel_windows_qt}/lib/cmake/Qt6/qt.toolchain.cmake")
if(NOT EXISTS "${qt_toolchain}")
    message(FATAL_ERROR "No Qt for Windows at ${nimbrel_windows_qt}: "
                        "run scripts/windows-toolchain first (scripts/windows does)")
endif()
include("${qt_toolchain}")
