// Must not link: given the windows' headers, a program that links the desktop
// library still finds no code of the windows in it or in what it pulls in.
#include "windows/AccessibleRoles.h"

int main()
{
    Nimbrel::installAccessibleRoles();
    return 0;
}
