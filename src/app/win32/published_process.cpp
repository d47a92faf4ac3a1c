#include "app/win32/published_process.h"

#include <sddl.h>

#include <memory>
#include <string>

namespace fablewick::win32 {

namespace {

constexpr char kPublicationName[] = "Local\\Quillmere.Fablewick.Launcher.Process";

struct LocalFreeDeleter {
  void operator()(void* memory) const { LocalFree(memory); }
};

// The user this process runs as, in SDDL's form; empty if unknown.
std::string UserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  std::string sid;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  auto buffer = std::make_unique<std::uint8_t[]>(size ? size : 1);
  char* text = nullptr;
  if (size && GetTokenInformation(token, TokenUser, buffer.get(), size, &size) &&
      ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid, &text)) {
    sid = text;
    LocalFree(text);
  }
  CloseHandle(token);
  return sid;
}

// An elevated process's objects are by default closed to the same user's
// normal processes, which are the very starts that need to read this.
std::unique_ptr<void, LocalFreeDeleter> ReadableByUser() {
  const std::string user = UserSid();
  if (user.empty()) return nullptr;
  const std::string sddl = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;GR;;;" + user + ")";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                            nullptr)) {
    return nullptr;
  }
  return std::unique_ptr<void, LocalFreeDeleter>(descriptor);
}

} // namespace

void PublishedProcess::Publish() {
  Withdraw();
  auto descriptor = ReadableByUser();
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
  mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, descriptor ? &attributes : nullptr, PAGE_READWRITE, 0,
                                sizeof(DWORD), kPublicationName);
  if (!mapping_) return;
  // Pages of a new mapping are zero, which reads as "not yet" until the id
  // is in.
  if (void* view = MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(DWORD))) {
    InterlockedExchange(static_cast<volatile LONG*>(view), static_cast<LONG>(GetCurrentProcessId()));
    UnmapViewOfFile(view);
  }
}

void PublishedProcess::Withdraw() {
  if (mapping_) CloseHandle(mapping_);
  mapping_ = nullptr;
}

std::uint32_t PublishedProcess::Read() {
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, kPublicationName);
  if (!mapping) return 0;
  std::uint32_t processId = 0;
  if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(DWORD))) {
    processId = static_cast<std::uint32_t>(*static_cast<const volatile LONG*>(view));
    UnmapViewOfFile(view);
  }
  CloseHandle(mapping);
  return processId;
}

} // namespace fablewick::win32
