#include "FuzzInput.h"

#include <cstdio>
#include <cstdlib>

void fuzzFailure(const char *what, const QString &detail)
{
    std::fprintf(stderr, "property broken: %s\n%s\n", what, qUtf8Printable(detail));
    std::abort();
}
