#include <windows.h>
int placeholderWin() { return 0; }
