// Loads every embedded resource from the built Fablewick.exe and checks it
// against the sizes and formats the launcher's code relies on.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "resources/resource.h"

namespace {

constexpr const char* kExePath = "Z:" FABLEWICK_EXE;

struct ModuleCloser {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using ModuleHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleCloser>;

struct GdiDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using BitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiDeleter>;

struct IconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

struct ScreenDc {
  HDC dc = GetDC(nullptr);
  ~ScreenDc() { ReleaseDC(nullptr, dc); }
};

// Each test opens the executable as a data file, so nothing of it runs and
// the resources are exactly those the program will find in itself.
class Resources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_.reset(LoadLibraryExA(kExePath, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_NE(module_, nullptr) << "cannot open " << kExePath << ", error " << GetLastError();
  }

  HMODULE Module() const { return module_.get(); }

  // The resource's bytes with the size Windows reports for it, or an empty
  // span when it is missing.
  std::span<const std::uint8_t> Bytes(LPCSTR name, LPCSTR type) const {
    HRSRC info = FindResourceA(Module(), name, type);
    if (info == nullptr) return {};
    HGLOBAL loaded = LoadResource(Module(), info);
    if (loaded == nullptr) return {};
    auto* first = static_cast<const std::uint8_t*>(LockResource(loaded));
    return {first, first == nullptr ? 0 : SizeofResource(Module(), info)};
  }

 private:
  ModuleHandle module_;
};

std::uint16_t U16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}
std::uint32_t U32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(U16(bytes, at)) | static_cast<std::uint32_t>(U16(bytes, at + 2)) << 16;
}
std::string FourCc(std::span<const std::uint8_t> bytes, std::size_t at) {
  return std::string(reinterpret_cast<const char*>(bytes.data() + at), 4);
}

// ---------------------------------------------------------------------------
// Bitmaps

struct BitmapSpec {
  int id;
  int width;
  int height;
};

const BitmapSpec kBitmaps[] = {
    {IDB_MENU, 560, 420},          {IDB_HOVER_FIRST, 560, 420},     {IDB_HOVER_FIRST + 1, 560, 420},
    {IDB_HOVER_FIRST + 2, 560, 420}, {IDB_HOVER_FIRST + 3, 560, 420}, {IDB_HOVER_LAST, 560, 420},
    {IDB_PRESSED_FIRST, 180, 91},  {IDB_PRESSED_FIRST + 1, 180, 90}, {IDB_PRESSED_FIRST + 2, 180, 81},
    {IDB_PRESSED_FIRST + 3, 180, 87}, {IDB_PRESSED_LAST, 180, 72},
};

// Caption rectangles in picture pixels; right and bottom are exclusive.
const RECT kCaptions[IDB_CAPTION_COUNT] = {
    {380, 0, 559, 89}, {380, 90, 559, 179}, {380, 180, 559, 260}, {380, 261, 559, 347}, {380, 348, 559, 419},
};

// A picture as the program sees it after loading: decoded by GDI, top-down,
// one 0x00RRGGBB word per pixel.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

Picture LoadPicture(HMODULE module, int id) {
  Picture picture;
  BitmapHandle bitmap(static_cast<HBITMAP>(
      LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap) {
    ADD_FAILURE() << "LoadImage failed for bitmap " << id;
    return picture;
  }
  BITMAP info{};
  GetObjectA(bitmap.get(), sizeof info, &info);
  BITMAPINFO request{};
  request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  request.bmiHeader.biWidth = info.bmWidth;
  request.bmiHeader.biHeight = -info.bmHeight;
  request.bmiHeader.biPlanes = 1;
  request.bmiHeader.biBitCount = 32;
  request.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(info.bmWidth) * info.bmHeight, 0xFFFFFFFFu);
  ScreenDc screen;
  int rows = GetDIBits(screen.dc, bitmap.get(), 0, static_cast<UINT>(info.bmHeight), pixels.data(), &request,
                       DIB_RGB_COLORS);
  if (rows != info.bmHeight) {
    ADD_FAILURE() << "GetDIBits gave " << rows << " rows of bitmap " << id;
    return picture;
  }
  for (auto& pixel : pixels) pixel &= 0x00FFFFFFu;
  picture.width = info.bmWidth;
  picture.height = info.bmHeight;
  picture.pixels = std::move(pixels);
  return picture;
}

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

int Brightness(std::uint32_t pixel) { return (pixel & 0xFF) + (pixel >> 8 & 0xFF) + (pixel >> 16 & 0xFF); }

TEST_F(Resources, EveryBitmapIsAnUncompressedBottomUp24BitDibOfItsListedSize) {
  for (const auto& expected : kBitmaps) {
    SCOPED_TRACE("bitmap " + std::to_string(expected.id));
    auto bytes = Bytes(MAKEINTRESOURCEA(expected.id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    ASSERT_GE(bytes.size(), 40u) << "missing or truncated";
    EXPECT_EQ(U32(bytes, 0), 40u) << "header size";
    EXPECT_EQ(static_cast<std::int32_t>(U32(bytes, 4)), expected.width);
    // A positive height is what makes the rows bottom-up.
    EXPECT_EQ(static_cast<std::int32_t>(U32(bytes, 8)), expected.height);
    EXPECT_EQ(U16(bytes, 12), 1) << "planes";
    EXPECT_EQ(U16(bytes, 14), 24) << "bits per pixel";
    EXPECT_EQ(U32(bytes, 16), static_cast<std::uint32_t>(BI_RGB));
    EXPECT_EQ(U32(bytes, 32), 0u) << "a palette rides along";
    std::size_t stride = (static_cast<std::size_t>(expected.width) * 3 + 3) & ~std::size_t{3};
    EXPECT_EQ(bytes.size(), 40 + stride * expected.height) << "pixel rows are not padded to 4 bytes";

    BitmapHandle loaded(LoadBitmapA(Module(), MAKEINTRESOURCEA(expected.id)));
    ASSERT_TRUE(loaded) << "LoadBitmap failed";
    BITMAP info{};
    ASSERT_EQ(GetObjectA(loaded.get(), sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, expected.width);
    EXPECT_EQ(info.bmHeight, expected.height);
  }
}

TEST_F(Resources, EachHoverPictureLightsOnlyItsOwnCaption) {
  Picture base = LoadPicture(Module(), IDB_MENU);
  ASSERT_EQ(base.width, 560);
  for (int i = 0; i < IDB_CAPTION_COUNT; ++i) {
    SCOPED_TRACE("hover picture " + std::to_string(IDB_HOVER_FIRST + i));
    Picture hover = LoadPicture(Module(), IDB_HOVER_FIRST + i);
    ASSERT_EQ(hover.width, base.width);
    ASSERT_EQ(hover.height, base.height);
    const RECT& caption = kCaptions[i];
    int changedInside = 0;
    long brightnessGain = 0;
    int firstStrayX = -1, firstStrayY = -1, strays = 0;
    for (int y = 0; y < base.height; ++y) {
      for (int x = 0; x < base.width; ++x) {
        if (hover.At(x, y) == base.At(x, y)) continue;
        if (Inside(caption, x, y)) {
          ++changedInside;
          brightnessGain += Brightness(hover.At(x, y)) - Brightness(base.At(x, y));
        } else if (strays++ == 0) {
          firstStrayX = x;
          firstStrayY = y;
        }
      }
    }
    EXPECT_EQ(strays, 0) << "pixels outside the caption differ, the first at " << firstStrayX << "," << firstStrayY;
    int area = (caption.right - caption.left) * (caption.bottom - caption.top);
    EXPECT_GT(changedInside, area / 10) << "the lit caption is hardly visible";
    EXPECT_GT(brightnessGain, 0) << "the lit caption is darker than the plain one";
  }
}

TEST_F(Resources, EachPressedOverlayChangesItsCaptionAndBlendsWithTheArtworkAroundIt) {
  Picture base = LoadPicture(Module(), IDB_MENU);
  ASSERT_EQ(base.width, 560);
  for (int i = 0; i < IDB_CAPTION_COUNT; ++i) {
    SCOPED_TRACE("pressed overlay " + std::to_string(IDB_PRESSED_FIRST + i));
    Picture hover = LoadPicture(Module(), IDB_HOVER_FIRST + i);
    Picture pressed = LoadPicture(Module(), IDB_PRESSED_FIRST + i);
    ASSERT_EQ(pressed.width, 180);
    ASSERT_EQ(hover.width, 560);
    const RECT& caption = kCaptions[i];
    int changedFromHover = 0, seams = 0;
    for (int y = 0; y < pressed.height; ++y) {
      for (int x = 0; x < pressed.width; ++x) {
        int px = caption.left + x, py = caption.top + y;
        if (Inside(caption, px, py)) {
          changedFromHover += pressed.At(x, y) != hover.At(px, py);
        } else {
          // The overlay is drawn wider and taller than its caption; there it
          // must repeat the picture beneath or a seam shows while pressed.
          seams += pressed.At(x, y) != base.At(px, py);
        }
      }
    }
    int area = (caption.right - caption.left) * (caption.bottom - caption.top);
    EXPECT_GT(changedFromHover, area / 10) << "pressing does not visibly change the lit caption";
    EXPECT_EQ(seams, 0) << "overlay pixels beyond the caption differ from the artwork";
  }
}

// ---------------------------------------------------------------------------
// Sounds

struct WaveSpec {
  int id;
  int channels;
  std::uint32_t rate;
  int bits;
  std::uint32_t dataBytes;
};

const WaveSpec kWaves[] = {
    {IDW_CLICK, 1, 22050, 8, 3104},    {IDW_TICK, 1, 44100, 16, 5962},  {IDW_QUIT, 1, 22050, 16, 16704},
    {IDW_OPENING_MUSIC, 2, 44100, 8, 550656}, {IDW_SHUFFLE, 1, 22050, 8, 8531}, {IDW_DEAL, 1, 22050, 8, 8256},
    {IDW_CHIPS, 1, 22050, 8, 14599},   {IDW_TOCK, 1, 44100, 16, 5962},
};

struct Chunk {
  std::string id;
  std::size_t offset = 0;  // of the chunk's data
  std::uint32_t size = 0;
};

// Walks the chunks of a WAVE form up to and including "data", never past it,
// checking each header against the bytes that remain.
std::vector<Chunk> ChunksThroughData(std::span<const std::uint8_t> image) {
  std::vector<Chunk> chunks;
  std::size_t at = 12;
  while (at + 8 <= image.size()) {
    Chunk chunk{FourCc(image, at), at + 8, U32(image, at + 4)};
    if (chunk.size > image.size() - chunk.offset) {
      ADD_FAILURE() << "chunk '" << chunk.id << "' at " << at << " claims " << chunk.size << " bytes";
      break;
    }
    chunks.push_back(chunk);
    if (chunk.id == "data") break;
    at = chunk.offset + chunk.size + (chunk.size & 1);
  }
  return chunks;
}

TEST_F(Resources, EverySoundIsAPcmRiffWaveWithItsListedFormatAndDataSize) {
  for (const auto& expected : kWaves) {
    SCOPED_TRACE("WAVE " + std::to_string(expected.id));
    auto image = Bytes(MAKEINTRESOURCEA(expected.id), FABLEWICK_WAVE_TYPE);
    ASSERT_GE(image.size(), 44u) << "missing or truncated";
    EXPECT_EQ(FourCc(image, 0), "RIFF");
    // The player takes the image's length from this field, so it must match
    // the real size exactly.
    EXPECT_EQ(U32(image, 4), image.size() - 8);
    EXPECT_EQ(FourCc(image, 8), "WAVE");

    auto chunks = ChunksThroughData(image);
    ASSERT_GE(chunks.size(), 2u);
    const Chunk& fmt = chunks.front();
    ASSERT_EQ(fmt.id, "fmt ");
    ASSERT_EQ(fmt.size, 16u);
    EXPECT_EQ(U16(image, fmt.offset), 1) << "not PCM";
    EXPECT_EQ(U16(image, fmt.offset + 2), expected.channels);
    EXPECT_EQ(U32(image, fmt.offset + 4), expected.rate);
    std::uint16_t blockAlign = static_cast<std::uint16_t>(expected.channels * expected.bits / 8);
    EXPECT_EQ(U32(image, fmt.offset + 8), expected.rate * blockAlign) << "bytes per second";
    EXPECT_EQ(U16(image, fmt.offset + 12), blockAlign);
    EXPECT_EQ(U16(image, fmt.offset + 14), expected.bits);

    const Chunk& data = chunks.back();
    ASSERT_EQ(data.id, "data");
    EXPECT_EQ(data.size, expected.dataBytes);
  }
}

TEST_F(Resources, OddSizedSoundDataIsFollowedByAChunkWithNoPadByte) {
  for (int id : {IDW_SHUFFLE, IDW_CHIPS}) {
    SCOPED_TRACE("WAVE " + std::to_string(id));
    auto image = Bytes(MAKEINTRESOURCEA(id), FABLEWICK_WAVE_TYPE);
    auto chunks = ChunksThroughData(image);
    ASSERT_FALSE(chunks.empty());
    const Chunk& data = chunks.back();
    ASSERT_EQ(data.id, "data");
    ASSERT_EQ(data.size % 2, 1u);
    std::size_t next = data.offset + data.size;
    ASSERT_LE(next + 8, image.size()) << "nothing follows the data";
    // The follower starts at the odd offset, and its size accounts for the
    // rest of the image; read with a pad byte it would be garbage.
    EXPECT_EQ(FourCc(image, next), "smpl");
    EXPECT_EQ(next + 8 + U32(image, next + 4), image.size());
  }
}

// ---------------------------------------------------------------------------
// Icon, version block and manifest

TEST_F(Resources, MainIconGroupHolds16And32PixelImagesOf8BitsPerPixel) {
  auto group = Bytes("MAINICON", MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
  ASSERT_GE(group.size(), 6u) << "no MAINICON group";
  EXPECT_EQ(U16(group, 0), 0);
  EXPECT_EQ(U16(group, 2), 1) << "not an icon directory";
  std::size_t count = U16(group, 4);
  ASSERT_EQ(group.size(), 6 + 14 * count);
  std::set<int> sizes;
  for (std::size_t k = 0; k < count; ++k) {
    std::size_t entry = 6 + 14 * k;
    int width = group[entry], height = group[entry + 1];
    SCOPED_TRACE("entry " + std::to_string(width) + "x" + std::to_string(height));
    EXPECT_EQ(width, height);
    EXPECT_EQ(U16(group, entry + 6), 8) << "bits per pixel in the directory";
    sizes.insert(width);

    auto image = Bytes(MAKEINTRESOURCEA(U16(group, entry + 12)), MAKEINTRESOURCEA(3) /* RT_ICON */);
    ASSERT_GE(image.size(), 40u);
    EXPECT_EQ(U32(image, 0), 40u);
    EXPECT_EQ(static_cast<int>(U32(image, 4)), width);
    EXPECT_EQ(static_cast<int>(U32(image, 8)), 2 * height) << "colour and mask heights";
    EXPECT_EQ(U16(image, 14), 8) << "bits per pixel in the image";
    EXPECT_EQ(image.size(), U32(group, entry + 8)) << "directory size disagrees with the image";
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32}));

  for (int size : {16, 32}) {
    IconHandle icon(static_cast<HICON>(LoadImageA(Module(), "MAINICON", IMAGE_ICON, size, size, 0)));
    ASSERT_TRUE(icon) << "LoadImage of the " << size << "-pixel icon";
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    BitmapHandle colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap{};
    GetObjectA(colour.get(), sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, size);
    EXPECT_EQ(bitmap.bmHeight, size);
  }
}

TEST_F(Resources, VersionBlockNamesProductAndCompanyAtVersion1000) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(kExePath, &ignored);
  ASSERT_GT(size, 0u) << "no version block";
  std::vector<std::uint8_t> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(kExePath, 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_GE(length, sizeof *fixed);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                             &length));
  ASSERT_GE(length, 4u);
  EXPECT_EQ(translation[0], 0x0409);

  // Strings are looked up under the language the block itself declares, so a
  // Translation that disagrees with the string table fails here.
  auto text = [&](const char* name, bool* found) {
    char path[96];
    snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], name);
    char* value = nullptr;
    UINT chars = 0;
    *found = VerQueryValueA(block.data(), path, reinterpret_cast<void**>(&value), &chars) && value != nullptr;
    return *found ? std::string(value) : std::string();
  };
  bool found = false;
  EXPECT_EQ(text("ProductName", &found), "Fablewick");
  EXPECT_TRUE(found);
  EXPECT_EQ(text("CompanyName", &found), "Quillmere Software");
  EXPECT_TRUE(found);
  EXPECT_EQ(text("FileVersion", &found), "1.0.0.0");
  EXPECT_EQ(text("ProductVersion", &found), "1.0.0.0");
  for (const char* empty : {"FileDescription", "InternalName", "LegalCopyright", "OriginalFilename"}) {
    EXPECT_EQ(text(empty, &found), "") << empty;
  }
}

// The text of the first element of that name, between its tags.
std::string ElementText(const std::string& document, const std::string& name) {
  std::size_t start = document.find("<" + name + " ");
  if (start == std::string::npos) return "(missing)";
  std::size_t valueStart = document.find('>', start) + 1;
  return document.substr(valueStart, document.find('<', valueStart) - valueStart);
}

TEST_F(Resources, ManifestAsksForCommonControls6AsInvokerAndPerMonitorDpiAwareness) {
  auto bytes = Bytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24) /* RT_MANIFEST */);
  ASSERT_FALSE(bytes.empty()) << "no manifest";
  std::string manifest(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos)
      << manifest;
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_EQ(ElementText(manifest, "dpiAwareness"), "PerMonitorV2, PerMonitor");
  EXPECT_EQ(ElementText(manifest, "dpiAware"), "true/pm");
  // Windows 7, 8, 8.1 and 10/11 as Microsoft documents them: the loader
  // ignores a mistyped one.
  for (const char* id : {"35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
                         "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}) {
    EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"{") + id + "}\"/>"), std::string::npos) << id;
  }
}

TEST_F(Resources, TheManifestMakesTheProcessPerMonitorDpiAware) {
  // This test program carries the same manifest, so the loader has applied
  // it to this very process.
  using GetContextFn = HANDLE(WINAPI*)();
  using AwarenessFn = int(WINAPI*)(HANDLE);
  HMODULE user32 = GetModuleHandleA("user32.dll");
  auto getContext = reinterpret_cast<GetContextFn>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
  auto awareness = reinterpret_cast<AwarenessFn>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
  ASSERT_NE(getContext, nullptr);
  ASSERT_NE(awareness, nullptr);
  EXPECT_EQ(awareness(getContext()), 2 /* DPI_AWARENESS_PER_MONITOR_AWARE */);
}

}  // namespace
