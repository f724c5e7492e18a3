// Answers the three version probes through its exit status (bit 0: NT, bit
// 1: 98 or later, bit 2: 2000 or later), so a test can run it under each
// Windows version Wine reports to a program of a given name.
#include "winutil/winutil.h"

int main()
{
    return IsWinNT() | IsWin98OrLater() << 1 | IsWin2000OrLater() << 2;
}
