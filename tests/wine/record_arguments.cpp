// A stand-in for a Windows program the launcher starts (Notepad): appends its
// command line after the program's own name, as the program receives it, as
// one line to the file named by NIMBREL_NOTEPAD_LOG, and ends. Notepad takes
// that whole text as the file's name, blanks and all.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{

// What follows the program's name, which may be quoted.
const char *afterProgramName(const char *line)
{
    if (*line == '"') {
        const char *end = std::strchr(line + 1, '"');
        line = end ? end + 1 : line + std::strlen(line);
    } else {
        while (*line && *line != ' ' && *line != '\t')
            ++line;
    }
    while (*line == ' ' || *line == '\t')
        ++line;
    return line;
}

} // namespace

int main()
{
    const char *log = std::getenv("NIMBREL_NOTEPAD_LOG");
    if (!log)
        return 2;
    std::FILE *file = std::fopen(log, "ab");
    if (!file)
        return 3;
    std::fprintf(file, "[%s]\n", afterProgramName(GetCommandLineA()));
    return std::fclose(file) == 0 ? 0 : 4;
}
