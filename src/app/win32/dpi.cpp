#include "app/win32/dpi.h"

#include "app/win32/gdi.h"
#include "app/win32/lazy_library.h"

namespace fablewick::win32 {

namespace {

// Functions of newer systems than the oldest the program runs on.
template <class Fn>
Fn User32Function(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

int SystemDpi() {
  WindowDC screen(nullptr);
  return screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : kBaseDpi;
}

} // namespace

int SystemMetricAt(int index, int dpi) {
  using ForDpiFn = int(WINAPI*)(int, UINT);
  static const auto forDpi = User32Function<ForDpiFn>("GetSystemMetricsForDpi");
  dpi = DpiScale(dpi).Dpi();
  if (forDpi) return forDpi(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

UniqueFont MessageFontAt(int dpi) {
  using ForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  static const auto forDpi = User32Function<ForDpiFn>("SystemParametersInfoForDpi");
  dpi = DpiScale(dpi).Dpi();
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
    return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
  }
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
  metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, SystemDpi());
  return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

SystemIcon::SystemIcon(LPCSTR name, int dpi) {
  const int width = SystemMetricAt(SM_CXICON, dpi), height = SystemMetricAt(SM_CYICON, dpi);
  if (width != GetSystemMetrics(SM_CXICON) || height != GetSystemMetrics(SM_CYICON)) {
    // Scaled down from the largest image the system has, so it stays sharp.
    // Only version 6 of the common controls has it, and the import library
    // does not list it.
    using ScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    static LazyLibrary controls("comctl32.dll");
    const auto scaleDown = controls.Entry<ScaleDownFn>("LoadIconWithScaleDown");
    HICON scaled = nullptr;
    if (scaleDown && SUCCEEDED(scaleDown(nullptr, reinterpret_cast<PCWSTR>(name), width, height, &scaled)) &&
        scaled) {
      scaled_.reset(scaled);
      icon_ = scaled;
      return;
    }
  }
  icon_ = LoadIconA(nullptr, name);
}

int WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow && window) {
    if (UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
  }
  WindowDC dc(window);
  return dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSX) : kBaseDpi;
}

} // namespace fablewick::win32
