#include "app/win32/published_process.h"

#include "app/win32/scoped_win.h"

#include <sddl.h>

#include <memory>
#include <string>

namespace fablewick::win32 {

namespace {

constexpr char kPublicationName[] = "Local\\Quillmere.Fablewick.Launcher.Process";

// The user this process runs as, in SDDL's form; empty if unknown.
std::string UserSid() {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return {};
  const UniqueKernelHandle token(opened);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  auto buffer = std::make_unique<std::uint8_t[]>(size ? size : 1);
  char* text = nullptr;
  if (!size || !GetTokenInformation(token.get(), TokenUser, buffer.get(), size, &size) ||
      !ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid, &text)) {
    return {};
  }
  const UniqueLocal<char> owned(text);
  return owned.get();
}

// An elevated process's objects are by default closed to the same user's
// normal processes, which are the very starts that need to read this.
UniqueLocal<> ReadableByUser() {
  const std::string user = UserSid();
  if (user.empty()) return nullptr;
  const std::string sddl = "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;GR;;;" + user + ")";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                            nullptr)) {
    return nullptr;
  }
  return UniqueLocal<>(descriptor);
}

} // namespace

void PublishedProcess::Publish() {
  Withdraw();
  auto descriptor = ReadableByUser();
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
  mapping_.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, descriptor ? &attributes : nullptr, PAGE_READWRITE, 0,
                                    sizeof(DWORD), kPublicationName));
  if (!mapping_) return;
  // Pages of a new mapping are zero, which reads as "not yet" until the id
  // is in.
  if (const UniqueView view{MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, sizeof(DWORD))}) {
    InterlockedExchange(static_cast<volatile LONG*>(view.get()), static_cast<LONG>(GetCurrentProcessId()));
  }
}

void PublishedProcess::Withdraw() { mapping_.reset(); }

std::uint32_t PublishedProcess::Read() {
  const UniqueKernelHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, kPublicationName));
  if (!mapping) return 0;
  const UniqueView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, sizeof(DWORD)));
  return view ? static_cast<std::uint32_t>(*static_cast<const volatile LONG*>(view.get())) : 0;
}

} // namespace fablewick::win32
