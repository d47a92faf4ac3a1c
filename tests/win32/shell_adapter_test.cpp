#include "launcher/win32/shell_windows.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

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
  shell.ChangeCurrentDirectory(Utf16(folder + "\\does not exist"));
  EXPECT_EQ(CurrentDirectory(), folder);
  shell.ChangeCurrentDirectory(u"");
  EXPECT_EQ(CurrentDirectory(), folder);
  shell.ChangeCurrentDirectory(u"%TEMP%");
  EXPECT_EQ(CurrentDirectory(), folder);

  shell.ChangeCurrentDirectory(u"Pimmet.exe");
  EXPECT_EQ(CurrentDirectory(), folder + "\\Pimmet.exe");
  shell.ChangeCurrentDirectory(Utf16(folder));
  EXPECT_EQ(CurrentDirectory(), folder);
}

TEST_F(ShellAdapterTest, OpeningAFileByItsBareNameStartsItWithoutWaitingForIt) {
  // A command script stands in for a game: the shell runs it from the
  // current directory, and it leaves a marker file behind.
  ASSERT_TRUE(WriteFile(folder + "\\write marker.cmd", "@echo started> marker.txt\r\n"));
  EXPECT_TRUE(shell.OpenDetached("write marker.cmd"));

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
  EXPECT_FALSE(shell.OpenDetached("Caddle.exe"));
}

} // namespace
} // namespace fablewick::win32
