// Timing, figures and resource counts shared by the benchmark programs.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "support/program_driver.h"

// Every benchmark takes --smoke: tiny sizes and one run, to check that it still builds and runs.
bool smokeRun(int argc, char** argv);

double nowMs();
double median(std::vector<double> values);

// Notes of exactly that many bytes: lines of words of varying length, each ended by CR LF.
std::string noteText(size_t bytes, unsigned seed);
std::string sizeName(size_t bytes);

// One figure against its floor, as medians: a readable line and a machine-readable BENCH line.
// A target of 0 means the figure has none.
void reportRatio(const std::string& name, const std::vector<double>& programMs,
                 const std::vector<double>& floorMs, double target);

// What a process holds. A count the platform cannot give is -1.
struct Resources {
    long long privateBytes = -1;
    long gdiObjects = -1;
    long userObjects = -1;
    long kernelHandles = -1;
};

// Private bytes of any process; -1 when they cannot be read.
long long privateBytes(HANDLE process);
Resources ownResources();
std::string describe(const Resources& resources);
// The BENCH fields of a measurement, prefixed by name.
void reportResources(const std::string& name, const Resources& resources);

// The program's own code run in this process, in a new install folder of its own, as the tests
// do; the window is shown and the message loop idle when it returns.
std::string startProgramInNewFolder();
// Quits the program and removes its install folder.
void quitAndRemoveFolder(const std::string& folder);
std::string pageFilePath(int page);
// A benchmark that cannot do what it measures ends with a message and exit code 1.
void require(bool condition, const char* what);
