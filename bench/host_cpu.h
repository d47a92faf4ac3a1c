#pragma once

// Wine reports no times for other processes, so the CPU time is read from the
// host: the Unix process whose command line names the program, summed over
// its threads (nanoseconds on the CPU, from schedstat).
#include <string>
#include <utility>
#include <vector>

namespace bench {

// Host process ids whose command line names the Windows program `exe`.
std::vector<std::string> HostProcessesRunning(const std::string& exe);

// CPU time so far of each thread of the host process, by thread name.
std::vector<std::pair<std::string, double>> HostThreadCpuMs(const std::string& unixPid);

// CPU time so far of the whole host process, threads that have ended
// included, in the kernel's 10 ms accounting ticks; -1 if unreadable.
double HostProcessCpuMs(const std::string& unixPid);

} // namespace bench
