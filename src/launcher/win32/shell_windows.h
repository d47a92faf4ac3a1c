#pragma once

#include "launcher/shell.h"

namespace fablewick::win32 {

// GetFileAttributesW, ShellExecuteExW, SetCurrentDirectoryW and
// GetShortPathNameW. Used on the window thread, which it enters into a COM
// apartment at the first start of a game and leaves when it goes.
class WindowsShell : public Shell {
public:
  WindowsShell() = default;
  ~WindowsShell() override;
  WindowsShell(const WindowsShell&) = delete;
  WindowsShell& operator=(const WindowsShell&) = delete;

  bool IsPlainFile(const std::string& name) override;
  StartResult OpenDetached(const std::string& name) override;
  bool MakeCurrent(const std::u16string& path) override;
  std::u16string ShortName(const std::u16string& path) override;

private:
  bool apartmentTried_ = false;
  bool apartmentEntered_ = false;
};

} // namespace fablewick::win32
