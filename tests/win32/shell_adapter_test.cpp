#include "launcher/win32/shell_windows.h"

#include "app/win32/com_library.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

namespace fablewick::win32 {
namespace {

std::string CurrentDirectory() {
  char path[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, path);
  return path;
}

// The temporary folder's path is plain ASCII here.
std::u16string Utf16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

bool WriteFile(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == text.size();
}

// A fresh folder under the temporary directory, made current for the test:
// a plain file named like one game, a directory named like another.
class ShellAdapterTest : public ::testing::Test {
protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "fablewick-shell-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(WriteFile(folder + "\\Caddle.exe", "not really a program"));
    CreateDirectoryA((folder + "\\Pimmet.exe").c_str(), nullptr);
    started = CurrentDirectory();
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
  }
  void TearDown() override {
    SetCurrentDirectoryA(started.c_str());
    DeleteFileA((folder + "\\Caddle.exe").c_str());
    DeleteFileA((folder + "\\marker.txt").c_str());
    DeleteFileA((folder + "\\write marker.cmd").c_str());
    RemoveDirectoryA((folder + "\\Pimmet.exe").c_str());
    RemoveDirectoryA(folder.c_str());
  }

  WindowsShell shell;
  std::string folder;
  std::string started;
};

TEST_F(ShellAdapterTest, OnlyAPlainFileInTheCurrentDirectoryCounts) {
  EXPECT_TRUE(shell.IsPlainFile("Caddle.exe"));
  EXPECT_TRUE(shell.IsPlainFile("caddle.EXE"));
  EXPECT_FALSE(shell.IsPlainFile("Pimmet.exe"));
  EXPECT_FALSE(shell.IsPlainFile("Trillick.exe"));
  EXPECT_FALSE(shell.IsPlainFile(""));

  SetCurrentDirectoryA(started.c_str());
  EXPECT_FALSE(shell.IsPlainFile("Caddle.exe"));
}

TEST_F(ShellAdapterTest, AMissingOrEmptyDirectoryLeavesTheCurrentOneAsItWas) {
  EXPECT_FALSE(shell.MakeCurrent(Utf16(folder + "\\does not exist")));
  EXPECT_EQ(CurrentDirectory(), folder);
  EXPECT_FALSE(shell.MakeCurrent(u""));
  EXPECT_EQ(CurrentDirectory(), folder);
  EXPECT_FALSE(shell.MakeCurrent(u"%TEMP%"));
  EXPECT_EQ(CurrentDirectory(), folder);
  EXPECT_TRUE(shell.ShortName(Utf16(folder + "\\does not exist")).empty());
  EXPECT_TRUE(shell.ShortName(u"").empty());

  EXPECT_TRUE(shell.MakeCurrent(u"Pimmet.exe"));
  EXPECT_EQ(CurrentDirectory(), folder + "\\Pimmet.exe");
  EXPECT_TRUE(shell.MakeCurrent(Utf16(folder)));
  EXPECT_EQ(CurrentDirectory(), folder);
}

// Past MAX_PATH, where without the system's long-path setting only a path
// marked literal reaches the folder.
TEST_F(ShellAdapterTest, AFolderDeeperThanMaxPathHasAShortNameTheSystemTakesAsCurrent) {
  std::wstring deep(folder.begin(), folder.end());
  for (wchar_t letter : {L'p', L'q', L'r', L's', L't'}) {
    deep += L"\\" + std::wstring(60, letter);
    CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr);
  }
  const std::wstring probe = L"\\\\?\\" + deep + L"\\probe.txt";
  CloseHandle(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

  const std::u16string alias = shell.ShortName(std::u16string(deep.begin(), deep.end()));
  EXPECT_LT(alias.size(), static_cast<std::size_t>(MAX_PATH)) << "no short form";
  EXPECT_NE(alias.substr(0, 4), u"\\\\?\\") << "the literal mark was left on";
  EXPECT_TRUE(shell.MakeCurrent(alias));
  EXPECT_NE(GetFileAttributesW(L"probe.txt"), INVALID_FILE_ATTRIBUTES) << "not the same folder";

  SetCurrentDirectoryA(folder.c_str());
  DeleteFileW(probe.c_str());
  for (; deep.size() > folder.size(); deep.resize(deep.rfind(L'\\'))) RemoveDirectoryW((L"\\\\?\\" + deep).c_str());
}

TEST_F(ShellAdapterTest, OpeningAFileByItsBareNameStartsItWithoutWaitingForIt) {
  // A command script stands in for a game: the shell runs it from the
  // current directory, and it leaves a marker file behind.
  ASSERT_TRUE(WriteFile(folder + "\\write marker.cmd", "@echo started> marker.txt\r\n"));
  EXPECT_EQ(shell.OpenDetached("write marker.cmd"), StartResult::Started);

  // A real-time wait is the behaviour here: the script runs in its own
  // process, on its own time.
  bool seen = false;
  for (int i = 0; i < 300 && !seen; ++i) {
    seen = GetFileAttributesA((folder + "\\marker.txt").c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!seen) Sleep(100);
  }
  EXPECT_TRUE(seen) << "the script did not run within 30 s";
}

TEST_F(ShellAdapterTest, AFileThatIsNoProgramIsRefusedByTheShell) {
  ASSERT_TRUE(WriteFile(folder + "\\Caddle.exe", "not a program\r\n"));
  EXPECT_EQ(shell.OpenDetached("Caddle.exe"), StartResult::Refused);
}

// The window thread starts games from inside an apartment, entered once and
// left when the shell goes, however many games it started.
TEST_F(ShellAdapterTest, StartingAGameEntersTheThreadIntoAnApartmentUntilTheShellGoes) {
  HRESULT during = E_FAIL, after = E_FAIL;
  std::thread window([&] {
    {
      WindowsShell own;
      own.OpenDetached("Caddle.exe");
      own.OpenDetached("Caddle.exe");
      during = com::InitializeApartment();
      if (SUCCEEDED(during)) com::Uninitialize();
    }
    after = com::InitializeApartment();
    if (SUCCEEDED(after)) com::Uninitialize();
  });
  window.join();
  EXPECT_EQ(during, S_FALSE) << "the thread was in no apartment of that kind";
  EXPECT_EQ(after, S_OK) << "the thread was not left as it was found";
}

} // namespace
} // namespace fablewick::win32
