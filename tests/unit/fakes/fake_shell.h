#pragma once

#include "launcher/shell.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace fablewick::fakes {

// A file system of named plain files and directories. Shell calls are
// written to the shared event log so tests can check their order against the
// host's.
class FakeShell : public Shell {
public:
  explicit FakeShell(std::vector<std::string>& events) : events_(events) {}

  bool IsPlainFile(const std::string& name) override { return files.count(name) != 0; }

  bool OpenDetached(const std::string& name) override {
    opened.push_back(name);
    events_.push_back("open " + name);
    if (onOpen) onOpen();
    return unstartable.count(name) == 0;
  }

  void ChangeCurrentDirectory(const std::string& path) override {
    events_.push_back("cd " + path);
    if (directories.count(path)) currentDirectory = path;
  }

  std::set<std::string> files;
  std::set<std::string> directories;
  std::set<std::string> unstartable; // plain files the shell refuses to start
  std::string currentDirectory = "C:\\Start";
  std::vector<std::string> opened;
  std::function<void()> onOpen;

private:
  std::vector<std::string>& events_;
};

} // namespace fablewick::fakes
