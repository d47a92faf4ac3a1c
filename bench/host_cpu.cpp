#include "host_cpu.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace bench {

namespace {

namespace fs = std::filesystem;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

} // namespace

std::vector<std::string> HostProcessesRunning(const std::string& exe) {
  const std::string wanted = Lower(exe.substr(2)); // without the drive
  std::vector<std::string> found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("Z:\\proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || !std::all_of(name.begin(), name.end(), ::isdigit)) continue;
    std::string commandLine = ReadAll(entry.path() / "cmdline");
    std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
    const std::string lower = Lower(commandLine);
    // A benchmark names the program on its own command line too.
    if (lower.find("_bench.exe") != std::string::npos) continue;
    if (lower.find(wanted) != std::string::npos) found.push_back(name);
  }
  return found;
}

std::vector<std::pair<std::string, double>> HostThreadCpuMs(const std::string& unixPid) {
  std::vector<std::pair<std::string, double>> threads;
  std::error_code error;
  for (const auto& task : fs::directory_iterator(fs::path("Z:\\proc") / unixPid / "task", error)) {
    std::string name = ReadAll(task.path() / "comm");
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.pop_back();
    // The host's main thread is the program's own user-interface thread.
    if (task.path().filename().string() == unixPid) name = "user-interface thread";
    threads.emplace_back(name, std::strtod(ReadAll(task.path() / "schedstat").c_str(), nullptr) / 1e6);
  }
  return threads;
}

double HostProcessCpuMs(const std::string& unixPid) {
  // The fields after the command name, which is in brackets and may hold
  // spaces: utime and stime are the 12th and 13th of them.
  const std::string stat = ReadAll(fs::path("Z:\\proc") / unixPid / "stat");
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(stat.substr(close + 1));
  std::string field;
  double ticks = 0;
  for (int i = 1; i <= 13 && fields >> field; ++i) {
    if (i >= 12) ticks += std::strtod(field.c_str(), nullptr);
  }
  return fields ? ticks * 10.0 : -1; // USER_HZ is 100 on every Linux Wine runs on
}

} // namespace bench
