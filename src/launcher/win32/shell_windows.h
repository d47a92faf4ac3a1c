#pragma once

#include "launcher/shell.h"

namespace fablewick::win32 {

// GetFileAttributes, ShellExecute and SetCurrentDirectory, ANSI versions.
class WindowsShell : public Shell {
public:
  bool IsPlainFile(const std::string& name) override;
  bool OpenDetached(const std::string& name) override;
  void ChangeCurrentDirectory(const std::string& path) override;
};

} // namespace fablewick::win32
