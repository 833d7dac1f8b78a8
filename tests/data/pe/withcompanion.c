/* A library that needs another library of its own, which lies beside it
   (companion.dll): as the maker's USB library may. */
__declspec(dllimport) int StandInEntry(int value);

__declspec(dllexport) int CompanionEntry(int value) { return StandInEntry(value) + 1; }
