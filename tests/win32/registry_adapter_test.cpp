#include "launcher/win32/registry_current_user.h"

#include "app/app_error.h"
#include "launcher/registry_accessor.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace fablewick::win32 {
namespace {

constexpr char kRoot[] = "Software\\FablewickTests";
constexpr std::uint8_t kMarker = 0xA5;

// Each test works under its own key below a private root, removed before and
// after, so a run never sees another run's leftovers.
class RegistryAdapterTest : public ::testing::Test {
protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
    key = std::string(kRoot) + "\\" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kRoot); }

  bool RawKeyExists(const std::string& path) {
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(raw);
    return true;
  }
  void RawSet(const std::string& name, DWORD type, const std::vector<std::uint8_t>& bytes) {
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(raw, name.c_str(), 0, type, bytes.data(),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(raw);
  }
  std::vector<std::uint8_t> RawGet(const std::string& name, DWORD* type) {
    std::vector<std::uint8_t> bytes(64, kMarker);
    DWORD size = static_cast<DWORD>(bytes.size());
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) {
      return {};
    }
    const LONG result = RegQueryValueExA(raw, name.c_str(), nullptr, type, bytes.data(), &size);
    RegCloseKey(raw);
    if (result != ERROR_SUCCESS) return {};
    bytes.resize(size);
    return bytes;
  }

  CurrentUserRegistry registry;
  std::string key;
};

std::string ErrorFrom(const std::function<void()>& action) {
  try {
    action();
  } catch (const AppError& error) {
    return error.what();
  }
  return "(no error)";
}

// --- keys -------------------------------------------------------------------

TEST_F(RegistryAdapterTest, CreatingAKeyMakesItAndOpeningOnlyFindsExistingOnes) {
  EXPECT_EQ(registry.OpenKey(key), nullptr);
  EXPECT_FALSE(RawKeyExists(key));

  EXPECT_NE(registry.CreateKey(key), nullptr);
  EXPECT_TRUE(RawKeyExists(key));
  EXPECT_NE(registry.OpenKey(key), nullptr);
  // Creating an existing key opens it.
  EXPECT_NE(registry.CreateKey(key), nullptr);
}

TEST_F(RegistryAdapterTest, AKeyThatCannotBeCreatedComesBackAsNothing) {
  // A lasting key cannot live under one that goes with the session.
  HKEY volatileKey = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(volatileKey);
  EXPECT_EQ(registry.CreateKey(key + "\\Launcher"), nullptr);
  EXPECT_FALSE(RawKeyExists(key + "\\Launcher"));
}

// --- queries and writes -----------------------------------------------------

TEST_F(RegistryAdapterTest, AQueryWithoutABufferGivesTypeAndSizeOrNotFound) {
  RawSet("number", REG_DWORD, {7, 0, 0, 0});
  RawSet("text", REG_SZ, {'a', 'b', 'c', 0});
  auto open = registry.CreateKey(key);
  ASSERT_NE(open, nullptr);

  std::uint32_t type = 99;
  std::uint32_t size = 99;
  EXPECT_EQ(open->QueryValue("number", &type, nullptr, &size), kRegistrySuccess);
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(open->QueryValue("text", &type, nullptr, &size), kRegistrySuccess);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(open->QueryValue("text", nullptr, nullptr, nullptr), kRegistrySuccess);
  EXPECT_EQ(open->QueryValue("absent", nullptr, nullptr, nullptr), kRegistryFileNotFound);
}

TEST_F(RegistryAdapterTest, AQueryFillsOnlyTheStoredBytesOrAsksForMoreRoom) {
  RawSet("blob", REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8});
  auto open = registry.CreateKey(key);
  ASSERT_NE(open, nullptr);

  std::array<std::uint8_t, 12> buffer;
  buffer.fill(kMarker);
  std::uint32_t type = 0;
  std::uint32_t size = buffer.size();
  EXPECT_EQ(open->QueryValue("blob", &type, buffer.data(), &size), kRegistrySuccess);
  EXPECT_EQ(type, kRegBinary);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(buffer, (std::array<std::uint8_t, 12>{1, 2, 3, 4, 5, 6, 7, 8, kMarker, kMarker,
                                                   kMarker, kMarker}));

  size = 4;
  EXPECT_EQ(open->QueryValue("blob", &type, buffer.data(), &size), kRegistryMoreData);
  EXPECT_EQ(size, 8u);
}

TEST_F(RegistryAdapterTest, SettingAValueStoresExactlyTheGivenTypeAndBytes) {
  auto open = registry.CreateKey(key);
  ASSERT_NE(open, nullptr);
  const std::array<std::uint8_t, 4> one{1, 0, 0, 0};
  EXPECT_EQ(open->SetValue("128", kRegDword, one), kRegistrySuccess);

  DWORD type = 0;
  EXPECT_EQ(RawGet("128", &type), (std::vector<std::uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
}

// --- the accessor over the real registry ------------------------------------

TEST_F(RegistryAdapterTest, TextStoredWithoutANulReadsBackWhole) {
  RawSet("InstallDir", REG_SZ, {'C', ':', '\\', 'C', 'a', 'r', 'd', 's'});
  RawSet("Expand", REG_EXPAND_SZ, {'%', 'T', 'E', 'M', 'P', '%', 0});
  RegistryAccessor accessor(registry);
  accessor.OpenKey(key);
  EXPECT_EQ(accessor.ReadString("InstallDir"), "C:\\Cards");
  EXPECT_EQ(accessor.ReadString("Expand"), "%TEMP%");
  EXPECT_EQ(accessor.ReadString("absent"), "");
}

TEST_F(RegistryAdapterTest, WideTextComesBackUnitForUnitWhateverTheCodePage) {
  // Japanese, Cyrillic and a playing card beyond the Basic Multilingual Plane.
  const std::u16string folder =
      u"C:\\\u30ab\u30fc\u30c9\\\u0421\u043a\u0430\u0437\u043a\u0438 \U0001F0A1";
  HKEY raw = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &raw, nullptr),
            ERROR_SUCCESS);
  const auto setWide = [&](const wchar_t* name, const void* bytes, DWORD size) {
    EXPECT_EQ(RegSetValueExW(raw, name, 0, REG_SZ, static_cast<const BYTE*>(bytes), size),
              ERROR_SUCCESS);
  };
  setWide(L"InstallDir", folder.c_str(), static_cast<DWORD>((folder.size() + 1) * 2));
  // Half a unit cut off at the end, and no NUL.
  setWide(L"Odd", u"D:\\Gx", 9);
  RegCloseKey(raw);

  RegistryAccessor accessor(registry);
  accessor.OpenKey(key);
  EXPECT_TRUE(accessor.ReadText("InstallDir") == folder);
  EXPECT_TRUE(accessor.ReadText("Odd") == u"D:\\G");
}

TEST_F(RegistryAdapterTest, BadlyStoredNumbersRaiseTheTwoDifferentErrors) {
  RawSet("short text", REG_SZ, {'1', 0});
  RawSet("long blob", REG_BINARY, {1, 0, 0, 0, 0, 0, 0, 0});
  RawSet("short number", REG_DWORD, {0, 1});
  RegistryAccessor accessor(registry);
  accessor.OpenKey(key);
  EXPECT_EQ(ErrorFrom([&] { accessor.ReadBool("short text"); }),
            "Invalid data type for 'short text'");
  EXPECT_EQ(ErrorFrom([&] { accessor.ReadBool("long blob"); }),
            "Failed to get data for 'long blob'");
  EXPECT_TRUE(accessor.ReadBool("short number"));
}

TEST_F(RegistryAdapterTest, AWrittenChoiceIsAFourByteNumberThatReadsBack) {
  {
    RegistryAccessor accessor(registry);
    accessor.OpenKey(key);
    accessor.WriteBool("128", false);
    EXPECT_FALSE(accessor.ReadBool("128"));
    accessor.WriteBool("128", true);
  }
  DWORD type = 0;
  EXPECT_EQ(RawGet("128", &type), (std::vector<std::uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));

  RegistryAccessor accessor(registry);
  EXPECT_TRUE(accessor.KeyExists(key));
  EXPECT_FALSE(accessor.KeyExists(key + "\\absent"));
  EXPECT_EQ(ErrorFrom([&] { accessor.WriteBool("128", false); }), "Failed to set data for '128'");
}

} // namespace
} // namespace fablewick::win32
