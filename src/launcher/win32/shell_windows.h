#pragma once

#include "launcher/shell.h"

namespace fablewick::win32 {

// GetFileAttributesW, ShellExecuteW and SetCurrentDirectoryW.
class WindowsShell : public Shell {
public:
  bool IsPlainFile(const std::string& name) override;
  bool OpenDetached(const std::string& name) override;
  void ChangeCurrentDirectory(const std::u16string& path) override;
};

} // namespace fablewick::win32
