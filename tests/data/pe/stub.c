/* The code of the test libraries: one function, exported only where the
   library is built to export it. */
#include <windows.h>

#ifdef EXPORT_ENTRY
__declspec(dllexport)
#endif
int StandInEntry(int value) { return value + 1; }
