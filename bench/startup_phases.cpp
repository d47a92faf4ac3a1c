#include "startup_phases.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace bench {

Marks TakeMarks(const std::string& path) {
  Marks marks;
  {
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
      const auto tab = line.find('\t');
      if (tab == std::string::npos) continue;
      marks.emplace_back(line.substr(0, tab), std::strtod(line.c_str() + tab + 1, nullptr));
    }
  }
  std::remove(path.c_str());
  return marks;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void PhaseTable::Add(const Marks& marks) {
  if (marks.empty()) return;
  if (phases_.empty()) {
    for (const auto& [phase, at] : marks) phases_.push_back(phase);
    ends_.resize(phases_.size());
  }
  if (marks.size() != phases_.size()) {
    ++skipped_;
    return;
  }
  for (size_t i = 0; i < marks.size(); ++i) {
    if (marks[i].first != phases_[i]) {
      ++skipped_;
      return;
    }
  }
  for (size_t i = 0; i < marks.size(); ++i) ends_[i].push_back(marks[i].second);
}

void PhaseTable::Print() const {
  const size_t runs = ends_.empty() ? 0 : ends_.front().size();
  std::printf("phases of %s, medians of %zu traced runs (ms)%s\n", program_.c_str(), runs,
              skipped_ ? ", some runs marked other phases and are left out" : "");
  std::printf("  %-24s %9s %9s %9s\n", "phase ended", "took", "least", "at");
  for (size_t i = 0; i < phases_.size(); ++i) {
    std::vector<double> took;
    for (size_t run = 0; run < ends_[i].size(); ++run) {
      took.push_back(ends_[i][run] - (i ? ends_[i - 1][run] : 0.0));
    }
    const double least = took.empty() ? 0 : *std::min_element(took.begin(), took.end());
    std::printf("  %-24s %9.2f %9.2f %9.2f\n", phases_[i].c_str(), Median(took) / 1000, least / 1000,
                Median(ends_[i]) / 1000);
  }
}

} // namespace bench
