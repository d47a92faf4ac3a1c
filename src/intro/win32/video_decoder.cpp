#include "intro/win32/video_decoder.h"

#include "app/win32/lazy_library.h"
#include "app/win32/scoped_win.h"
#include "app/win32/wide_text.h"
#include "intro/avi_format.h"

#include <windows.h>
// Only the compression manager is used; the audio part would redefine
// the program's narrow-text choice.
#define NOMSACM
#define NOAVIFILE
#define NOMCIWND
#define NOAVICAP
#include <vfw.h>

#include <cstring>
#include <vector>

namespace fablewick::win32 {

namespace {

// The stream headers come first; a file whose headers do not fit in this
// much is left to the movie device to judge.
constexpr DWORD HeadBytes = 64 * 1024;

std::vector<std::byte> ReadHead(const std::string& fileName) {
  const UniqueKernelHandle file(CreateFileW(WideFromUtf8(fileName).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return {};
  std::vector<std::byte> head(HeadBytes);
  DWORD read = 0;
  if (!ReadFile(file.get(), head.data(), HeadBytes, &read, nullptr)) return {};
  head.resize(read);
  return head;
}

// Loaded only when a movie is about to play; kept for the next one.
LazyLibrary& VideoForWindows() {
  static LazyLibrary library("msvfw32.dll");
  return library;
}

} // namespace

DecoderCheck CheckVideoDecoder(const std::string& fileName) {
  const std::vector<std::byte> head = ReadHead(fileName);
  const std::optional<AviVideoFormat> format = ReadAviVideoFormat(head);
  if (!format) return DecoderCheck::Unreadable;
  // Uncompressed frames are drawn by the device itself.
  if (format->compression == BI_RGB || format->compression == BI_BITFIELDS) return DecoderCheck::NoneNeeded;

  const auto locate = VideoForWindows().Entry<decltype(&ICLocate)>("ICLocate");
  const auto close = VideoForWindows().Entry<decltype(&ICClose)>("ICClose");
  if (!locate || !close) return DecoderCheck::Unreadable;
  BITMAPINFOHEADER input{};
  std::memcpy(&input, format->header.data(), sizeof input);
  // A short strf leaves the size field describing fewer bytes; the manager
  // reads the header by its own size.
  input.biSize = sizeof input;
  const HIC decoder = locate(ICTYPE_VIDEO, 0, &input, nullptr, ICMODE_DECOMPRESS);
  if (decoder == nullptr) return DecoderCheck::Missing;
  close(decoder);
  return DecoderCheck::Found;
}

} // namespace fablewick::win32
