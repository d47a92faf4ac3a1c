#include "app/win32/dll_search_path.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace fablewick::win32 {
namespace {

std::string ModulePath(HMODULE module) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, MAX_PATH);
  return path;
}

std::string SystemFolder() {
  char path[MAX_PATH] = {};
  GetSystemDirectoryA(path, MAX_PATH);
  return path;
}

// Made current for the test: a folder holding a DLL that the system folder
// lacks, as a planted one would be.
class LoadSystemLibraryTest : public ::testing::Test {
protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "fablewick-dlls-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(CopyFileA(PLANTED_DLL, (folder_ + "\\fwplanted.dll").c_str(), FALSE));
    char started[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, started);
    started_ = started;
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
  }
  void TearDown() override {
    SetCurrentDirectoryA(started_.c_str());
    DeleteFileA((folder_ + "\\fwplanted.dll").c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  std::string folder_, started_;
};

TEST_F(LoadSystemLibraryTest, LoadsFromTheSystemFolderAndNeverFromTheCurrentDirectory) {
  HMODULE system = LoadSystemLibrary("version.dll");
  ASSERT_NE(nullptr, system);
  EXPECT_EQ(0, _stricmp((SystemFolder() + "\\version.dll").c_str(), ModulePath(system).c_str()));
  FreeLibrary(system);

  // The plain search would find it here; the system folder has none.
  HMODULE planted = LoadSystemLibrary("fwplanted.dll");
  EXPECT_EQ(nullptr, planted);
  if (planted) FreeLibrary(planted);
  // The program's manifest still chooses among side-by-side versions.
  HMODULE controls = LoadSystemLibrary("comctl32.dll");
  HMODULE plainControls = LoadLibraryA("comctl32.dll");
  EXPECT_EQ(plainControls, controls) << ModulePath(controls) << " instead of " << ModulePath(plainControls);
  if (controls) FreeLibrary(controls);
  if (plainControls) FreeLibrary(plainControls);

  HMODULE found = LoadLibraryA("fwplanted.dll");
  EXPECT_NE(nullptr, found) << "the test's planted DLL cannot be loaded at all";
  if (found) FreeLibrary(found);
}

} // namespace
} // namespace fablewick::win32
