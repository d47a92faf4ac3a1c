#include "launcher/registry_accessor.h"

#include "app/app_error.h"
#include "fakes/fake_registry.h"

#include <gtest/gtest.h>

#include <functional>

namespace fablewick {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kKey = "Software\\Test\\1.0";

// The AppError's message, or a note that none was raised.
std::string ErrorFrom(const std::function<void()>& action) {
  try {
    action();
  } catch (const AppError& error) {
    return error.what();
  }
  return "(no error)";
}

class RegistryAccessorTest : public ::testing::Test {
protected:
  RegistryAccessorTest() { accessor.OpenKey(kKey); }

  fakes::FakeRegistry registry;
  RegistryAccessor accessor{registry};
};

// --- keys -------------------------------------------------------------------

TEST_F(RegistryAccessorTest, OpeningCreatesAMissingKeyAndReplacesTheOneHeld) {
  EXPECT_TRUE(registry.HasKey(kKey));
  EXPECT_TRUE(accessor.OpenKey("Software\\Other"));
  EXPECT_TRUE(registry.HasKey("Software\\Other"));
  EXPECT_EQ(registry.openHandles, 1);
  accessor.CloseKey();
  EXPECT_EQ(registry.openHandles, 0);
}

TEST_F(RegistryAccessorTest, AKeyThatCannotBeOpenedLeavesNoKeyOpen) {
  registry.PutDword(kKey, "128", 1);
  registry.refuseCreate.insert("Software\\Locked");
  EXPECT_FALSE(accessor.OpenKey("Software\\Locked"));
  EXPECT_EQ(registry.openHandles, 0);
  EXPECT_FALSE(accessor.ValueExists("128"));
  EXPECT_EQ(accessor.ReadString("128"), "");
}

TEST_F(RegistryAccessorTest, KeyExistsLooksWithoutCreatingAndClosesAtOnce) {
  EXPECT_FALSE(accessor.KeyExists("Software\\Absent"));
  EXPECT_FALSE(registry.HasKey("Software\\Absent"));
  EXPECT_TRUE(accessor.KeyExists(kKey));
  EXPECT_EQ(registry.openHandles, 1);

  registry.refuseOpen.insert(kKey);
  EXPECT_FALSE(accessor.KeyExists(kKey));
}

TEST(RegistryAccessorLifetime, ReleasingTheAccessorClosesItsKey) {
  fakes::FakeRegistry registry;
  {
    RegistryAccessor accessor(registry);
    accessor.OpenKey("Software\\A");
    EXPECT_EQ(registry.openHandles, 1);
  }
  EXPECT_EQ(registry.openHandles, 0);
}

TEST_F(RegistryAccessorTest, AValueExistsOnlyInTheOpenKey) {
  registry.PutText(kKey, "InstallDir", "C:\\Games");
  EXPECT_TRUE(accessor.ValueExists("InstallDir"));
  EXPECT_FALSE(accessor.ValueExists("installdir "));
  accessor.CloseKey();
  EXPECT_FALSE(accessor.ValueExists("InstallDir"));
}

// --- text -------------------------------------------------------------------

TEST_F(RegistryAccessorTest, ReadsTextOfEitherStringTypeUpToItsFirstNul) {
  registry.PutText(kKey, "plain", "C:\\Card Table");
  registry.PutText(kKey, "expand", "%ProgramFiles%\\Cards", kRegExpandSz);
  registry.Put(kKey, "inner", kRegSz, {'a', 'b', 0, 'c', 'd', 0});
  EXPECT_EQ(accessor.ReadString("plain"), "C:\\Card Table");
  EXPECT_EQ(accessor.ReadString("expand"), "%ProgramFiles%\\Cards");
  EXPECT_EQ(accessor.ReadString("inner"), "ab");
}

TEST_F(RegistryAccessorTest, ReadsTextStoredWithoutAnyNulToItsLastByteAndNoFurther) {
  registry.Put(kKey, "bare", kRegSz, {'D', ':', '\\', 'x'});
  registry.Put(kKey, "one", kRegExpandSz, {'Q'});
  EXPECT_EQ(accessor.ReadString("bare"), "D:\\x");
  EXPECT_EQ(accessor.ReadString("one"), "Q");
}

TEST_F(RegistryAccessorTest, AbsentOrZeroSizedTextIsEmptyWhateverItsType) {
  registry.Put(kKey, "empty", kRegSz, {});
  registry.Put(kKey, "emptyNumber", kRegDword, {});
  EXPECT_EQ(accessor.ReadString("missing"), "");
  EXPECT_EQ(accessor.ReadString("empty"), "");
  EXPECT_EQ(accessor.ReadString("emptyNumber"), "");
}

TEST_F(RegistryAccessorTest, TextOfAnyOtherTypeIsAnInvalidDataType) {
  registry.PutDword(kKey, "InstallDir", 7);
  registry.Put(kKey, "blob", kRegBinary, {'C', ':', 0});
  registry.Put(kKey, "multi", 7, {'a', 0, 0});
  EXPECT_EQ(ErrorFrom([&] { accessor.ReadString("InstallDir"); }),
            "Invalid data type for 'InstallDir'");
  EXPECT_EQ(ErrorFrom([&] { accessor.ReadString("blob"); }), "Invalid data type for 'blob'");
  EXPECT_EQ(ErrorFrom([&] { accessor.ReadString("multi"); }), "Invalid data type for 'multi'");
}

// A key whose value grows between the size query and the read.
class GrowingKey : public RegistryKey {
public:
  std::int32_t QueryValue(const std::string&, std::uint32_t* type, std::uint8_t* data,
                          std::uint32_t* size) override {
    if (type) *type = kRegSz;
    const std::uint32_t stored = data ? 64 : 4;
    if (data && *size < stored) {
      *size = stored;
      return kRegistryMoreData;
    }
    if (size) *size = stored;
    return kRegistrySuccess;
  }
  std::int32_t SetValue(const std::string&, std::uint32_t, std::span<const std::uint8_t>) override {
    return kRegistryFileNotFound;
  }
};

class GrowingRegistry : public Registry {
public:
  std::unique_ptr<RegistryKey> CreateKey(const std::string&) override {
    return std::make_unique<GrowingKey>();
  }
  std::unique_ptr<RegistryKey> OpenKey(const std::string&) override { return nullptr; }
};

TEST(RegistryAccessorRead, TextThatCannotBeReadAfterItsSizeWasGivenFailsToGetData) {
  GrowingRegistry registry;
  RegistryAccessor accessor(registry);
  accessor.OpenKey("k");
  EXPECT_EQ(ErrorFrom([&] { accessor.ReadString("InstallDir"); }),
            "Failed to get data for 'InstallDir'");
}

// --- text in UTF-16, as the registry stores it --------------------------------

TEST_F(RegistryAccessorTest, WideTextEndsAtItsFirstNulOrItsLastWholeUnit) {
  using fakes::Utf16Bytes;
  const std::u16string folder = u"C:\\\u0421\u043a\u0430\u0437\u043a\u0438 \U0001F0A1";
  const struct {
    const char* what;
    Bytes bytes;
    std::u16string expected;
  } cases[] = {
      {"with its NUL", Utf16Bytes(folder + u'\0'), folder},
      {"with an inner NUL", Utf16Bytes(std::u16string(u"\u65e5\u672c\0x\0", 5)), u"\u65e5\u672c"},
      {"without a NUL", Utf16Bytes(u"D:\\G"), u"D:\\G"},
      {"with an odd byte after it", {'D', 0, ':', 0, '\\', 0, 'G', 0, 'x'}, u"D:\\G"},
      {"of a single byte", {'D'}, u""},
      {"with a lone surrogate", Utf16Bytes(u"A\xD800" u"B\xDC00"), u"A\xD800" u"B\xDC00"},
  };
  for (const auto& c : cases) {
    registry.Put(kKey, "InstallDir", kRegExpandSz, c.bytes);
    EXPECT_TRUE(accessor.ReadText("InstallDir") == c.expected) << c.what;
  }
}

TEST_F(RegistryAccessorTest, WideTextOfSixtyThousandUnitsComesBackWhole) {
  const std::u16string folder = u"C:\\" + std::u16string(59996, u'\u05d0');
  registry.PutWideText(kKey, "InstallDir", folder);
  EXPECT_TRUE(accessor.ReadText("InstallDir") == folder);
}

TEST(RegistryAccessorWideRead, WideTextKeepsTheTypeRulesAndMessages) {
  fakes::FakeRegistry registry;
  RegistryAccessor accessor(registry);
  accessor.OpenKey(kKey);
  registry.PutDword(kKey, "InstallDir", 7);
  registry.Put(kKey, "empty", kRegSz, {});
  EXPECT_EQ(ErrorFrom([&] { accessor.ReadText("InstallDir"); }),
            "Invalid data type for 'InstallDir'");
  EXPECT_TRUE(accessor.ReadText("empty").empty());
  EXPECT_TRUE(accessor.ReadText("missing").empty());

  GrowingRegistry growing;
  RegistryAccessor growingAccessor(growing);
  growingAccessor.OpenKey("k");
  EXPECT_EQ(ErrorFrom([&] { growingAccessor.ReadText("InstallDir"); }),
            "Failed to get data for 'InstallDir'");
}

// --- Booleans ---------------------------------------------------------------

TEST_F(RegistryAccessorTest, ANumberIsTrueWhenAnyOfItsBitsIsSet) {
  const struct {
    std::uint32_t number;
    bool expected;
  } cases[] = {{0, false}, {1, true}, {5, true}, {0x100, true}, {0x80000000u, true}};
  for (const auto& c : cases) {
    registry.PutDword(kKey, "128", c.number);
    EXPECT_EQ(accessor.ReadBool("128"), c.expected) << c.number;
  }
}

TEST_F(RegistryAccessorTest, ANumberStoredInFewerThanFourBytesHasZeroHighBytes) {
  const struct {
    Bytes bytes;
    bool expected;
  } cases[] = {{{}, false}, {{0}, false}, {{0, 0, 0}, false}, {{0, 1}, true}, {{9}, true}};
  for (const auto& c : cases) {
    registry.Put(kKey, "128", kRegDword, c.bytes);
    EXPECT_EQ(accessor.ReadBool("128"), c.expected) << c.bytes.size();
  }
}

TEST_F(RegistryAccessorTest, AShortValueOfAnotherTypeIsAnInvalidDataTypeAndALongOneFailsToRead) {
  const struct {
    std::uint32_t type;
    Bytes bytes;
    const char* message;
  } cases[] = {
      {kRegSz, {'1', 0}, "Invalid data type for '128'"},
      {kRegSz, {'1', '2', '8', 0}, "Invalid data type for '128'"},
      {kRegBinary, {1, 0, 0, 0}, "Invalid data type for '128'"},
      {kRegSz, {'1', '2', '8', '9', 0}, "Failed to get data for '128'"},
      {kRegBinary, {1, 0, 0, 0, 0, 0, 0, 0}, "Failed to get data for '128'"},
      {kRegDword, {1, 0, 0, 0, 0}, "Failed to get data for '128'"},
  };
  for (const auto& c : cases) {
    registry.Put(kKey, "128", c.type, c.bytes);
    EXPECT_EQ(ErrorFrom([&] { accessor.ReadBool("128"); }), c.message)
        << "type " << c.type << ", " << c.bytes.size() << " bytes";
  }
}

TEST_F(RegistryAccessorTest, AMissingValueOrNoOpenKeyFailsToGetData) {
  EXPECT_EQ(ErrorFrom([&] { accessor.ReadBool("128"); }), "Failed to get data for '128'");
  registry.PutDword(kKey, "128", 1);
  accessor.CloseKey();
  EXPECT_EQ(ErrorFrom([&] { accessor.ReadBool("128"); }), "Failed to get data for '128'");
}

TEST_F(RegistryAccessorTest, WritesAFourByteNumberOneOrZero) {
  accessor.WriteBool("128", true);
  EXPECT_EQ(*registry.Find(kKey, "128"), (fakes::StoredValue{kRegDword, {1, 0, 0, 0}}));
  accessor.WriteBool("128", false);
  EXPECT_EQ(*registry.Find(kKey, "128"), (fakes::StoredValue{kRegDword, {0, 0, 0, 0}}));
  EXPECT_FALSE(accessor.ReadBool("128"));
}

TEST_F(RegistryAccessorTest, WritingWithNoKeyOpenFailsToSetDataAndStoresNothing) {
  accessor.CloseKey();
  EXPECT_EQ(ErrorFrom([&] { accessor.WriteBool("128", true); }), "Failed to set data for '128'");
  EXPECT_EQ(registry.Find(kKey, "128"), nullptr);
}

TEST(RegistryAccessorWrite, ARefusedWriteFailsToSetData) {
  GrowingRegistry registry;
  RegistryAccessor accessor(registry);
  accessor.OpenKey("k");
  EXPECT_EQ(ErrorFrom([&] { accessor.WriteBool("Flag", false); }), "Failed to set data for 'Flag'");
}

} // namespace
} // namespace fablewick
