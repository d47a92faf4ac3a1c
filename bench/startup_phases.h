#pragma once

// The start-up marks one traced run left behind (bench/startup_trace.cpp),
// gathered over many runs and printed as a table of medians.
#include <string>
#include <utility>
#include <vector>

namespace bench {

// Each mark: the phase that ended and microseconds since process creation.
using Marks = std::vector<std::pair<std::string, double>>;

// Reads and deletes the file; empty when the run wrote nothing.
Marks TakeMarks(const std::string& path);

class PhaseTable {
public:
  explicit PhaseTable(std::string program) : program_(std::move(program)) {}

  // Runs whose phases differ from the first run's are counted but not used.
  void Add(const Marks& marks);
  // One line a phase: median and least time it took (since the previous
  // mark), and median time since process creation when it ended.
  void Print() const;

private:
  std::string program_;
  std::vector<std::string> phases_;
  std::vector<std::vector<double>> ends_;
  int skipped_ = 0;
};

double Median(std::vector<double> values);

} // namespace bench
