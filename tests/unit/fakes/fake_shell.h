#pragma once

#include "launcher/shell.h"

#include <functional>
#include <map>
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

  StartResult OpenDetached(const std::string& name) override {
    opened.push_back(name);
    events_.push_back("open " + name);
    if (onOpen) onOpen();
    if (cancelled.count(name)) return StartResult::Cancelled;
    return unstartable.count(name) ? StartResult::Refused : StartResult::Started;
  }

  // Logged with each unit outside ASCII as '?'; the exact text is kept too.
  // Every folder but a refused one (and the empty text) can be made current.
  bool MakeCurrent(const std::u16string& path) override {
    std::string shown;
    for (char16_t unit : path) shown += unit < 0x80 ? static_cast<char>(unit) : '?';
    events_.push_back("cd " + shown);
    directoryRequests.push_back(path);
    if (path.empty() || refusedFolders.count(path)) return false;
    current = path;
    return true;
  }

  std::u16string ShortName(const std::u16string& path) override {
    const auto found = shortNames.find(path);
    return found == shortNames.end() ? std::u16string() : found->second;
  }

  std::set<std::string> files;
  std::set<std::string> directories;
  std::set<std::string> unstartable; // plain files the shell refuses to start
  std::set<std::string> cancelled;   // ones whose start the user cancels
  std::set<std::u16string> refusedFolders;
  std::map<std::u16string, std::u16string> shortNames;
  std::u16string current;
  std::vector<std::u16string> directoryRequests;
  std::vector<std::string> opened;
  std::function<void()> onOpen;

private:
  std::vector<std::string>& events_;
};

} // namespace fablewick::fakes
