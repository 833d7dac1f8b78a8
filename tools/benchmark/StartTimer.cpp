// Measures how long programs take from their start to their first visible
// window, side by side in one run: each program is started RUNS times, in
// turn with the others, from its own folder; its first visible top-level
// window ends the measurement and the program is then closed. A closed
// program's windows are still being taken down (by the server, the desktop,
// the X server) when the next one starts, and a program with many windows
// leaves more of that behind: so each round starts the programs in another
// order (shuffled from a fixed seed, the same in every run of the timer), so
// that every program follows every other about equally often, and each start
// waits a moment for the last one's leftovers.
//
//   start-timer.exe RUNS PROGRAM...
//
// Prints every time and, per program, the median in milliseconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// What a closed program's leftovers take to go, on a machine under load.
const DWORD kSettleMs = 100;

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK visibleWindowOf(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

// Milliseconds to the first visible window, or a negative number.
double startOnce(const std::string& program) {
    std::string directory = program.substr(0, program.find_last_of('\\'));
    std::string command = "\"" + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER frequency, begin, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(),
                        &startup, &process))
        return -1;
    double elapsed = -2;
    for (;;) {
        Search search{process.dwProcessId, nullptr};
        EnumWindows(visibleWindowOf, reinterpret_cast<LPARAM>(&search));
        QueryPerformanceCounter(&now);
        double ms = 1000.0 * (now.QuadPart - begin.QuadPart) / frequency.QuadPart;
        if (search.found) {
            elapsed = ms;
            break;
        }
        if (ms > 30000 || WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: start-timer.exe RUNS PROGRAM...\n");
        return 2;
    }
    int runs = std::atoi(argv[1]);
    std::vector<std::string> programs(argv + 2, argv + argc);
    std::vector<std::vector<double>> times(programs.size());
    std::vector<size_t> order(programs.size());
    for (size_t p = 0; p < order.size(); ++p) order[p] = p;
    std::mt19937 shuffle(28);
    for (int run = 0; run < runs; ++run) {
        std::shuffle(order.begin(), order.end(), shuffle);
        for (size_t p : order) {
            Sleep(kSettleMs);
            double ms = startOnce(programs[p]);
            if (ms < 0) {
                std::printf("%s showed no window\n", programs[p].c_str());
                return 1;
            }
            times[p].push_back(ms);
        }
    }
    for (size_t p = 0; p < programs.size(); ++p) {
        std::vector<double> sorted = times[p];
        std::sort(sorted.begin(), sorted.end());
        std::printf("%s: median %.1f ms (", programs[p].c_str(), sorted[sorted.size() / 2]);
        for (double ms : times[p]) std::printf(" %.0f", ms);
        std::printf(" )\n");
    }
    return 0;
}
