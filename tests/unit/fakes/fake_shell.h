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

  // Logged with each unit outside ASCII as '?'; the exact text is kept too.
  void ChangeCurrentDirectory(const std::u16string& path) override {
    std::string shown;
    for (char16_t unit : path) shown += unit < 0x80 ? static_cast<char>(unit) : '?';
    events_.push_back("cd " + shown);
    directoryRequests.push_back(path);
  }

  std::set<std::string> files;
  std::set<std::string> directories;
  std::set<std::string> unstartable; // plain files the shell refuses to start
  std::vector<std::u16string> directoryRequests;
  std::vector<std::string> opened;
  std::function<void()> onOpen;

private:
  std::vector<std::string>& events_;
};

} // namespace fablewick::fakes
