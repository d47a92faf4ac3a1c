#include "app/win32/plain_file.h"

#include "app/win32/wide_text.h"

#include <windows.h>

namespace fablewick::win32 {

bool IsPlainFile(const std::string& name) {
  const DWORD attributes = GetFileAttributesW(WideFromUtf8(name).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace fablewick::win32
