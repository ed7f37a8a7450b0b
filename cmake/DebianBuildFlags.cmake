# Debian's hardened build flags for the packaged launcher, as dpkg-buildflags
# gives them with every hardening feature on: -fstack-protector-strong,
# -D_FORTIFY_SOURCE=2, -Wformat -Werror=format-security, -Wl,-z,relro and
# -Wl,-z,now; PIE is the compiler's default on Debian. The `package` preset
# reads this file right after project() (CMAKE_PROJECT_INCLUDE), so the flags
# reach every target; by hand:
#   cmake -S . -B build/package -DCMAKE_PROJECT_INCLUDE=$PWD/cmake/DebianBuildFlags.cmake
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT DPKG_BUILDFLAGS)
    message(FATAL_ERROR "dpkg-buildflags is missing; `scripts/install-deps deb` installs it (dpkg-dev)")
endif()

# Every hardening feature, whatever DEB_BUILD_MAINT_OPTIONS the environment
# holds; run from the source folder, as the reproducible-build flag maps that
# folder's path to "." in the debug information.
function(_nimbrel_buildflags variable flag_name)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${DPKG_BUILDFLAGS} --get ${flag_name}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE flags
        OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "dpkg-buildflags --get ${flag_name} failed")
    endif()
    set(${variable} "${flags}" PARENT_SCOPE)
endfunction()

_nimbrel_buildflags(_nimbrel_cppflags CPPFLAGS)
_nimbrel_buildflags(_nimbrel_cxxflags CXXFLAGS)
_nimbrel_buildflags(_nimbrel_ldflags LDFLAGS)

# AddressSanitizer intercepts the plain C library functions; _FORTIFY_SOURCE
# would send calls to their _chk variants, which it does not see. So a
# sanitizer build (should anyone add this file to one) keeps _FORTIFY_SOURCE out.
if(CMAKE_CXX_FLAGS MATCHES "-fsanitize=")
    string(REGEX REPLACE "-D_FORTIFY_SOURCE=[0-9]+" "" _nimbrel_cppflags "${_nimbrel_cppflags}")
    message(STATUS "Debian build flags: sanitizer build, so without _FORTIFY_SOURCE")
endif()

# Normal variables over the cached ones: configuring again does not add the
# flags twice, and the cache keeps what the user set.
string(APPEND CMAKE_CXX_FLAGS " ${_nimbrel_cppflags} ${_nimbrel_cxxflags}")
foreach(kind EXE SHARED MODULE)
    string(APPEND CMAKE_${kind}_LINKER_FLAGS " ${_nimbrel_ldflags}")
endforeach()
message(STATUS "Debian build flags: ${_nimbrel_cppflags} ${_nimbrel_cxxflags}; linker: ${_nimbrel_ldflags}")
