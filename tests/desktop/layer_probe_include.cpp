// Must not compile: the desktop layer does not see the windows above it.
#include "windows/MainForm.h"

int main()
{
    return 0;
}
