// A stand-in for the four games of the package. It appends one line to a log
//   started<TAB>working directory<TAB>own file name<TAB>arguments
// to the file named by FABLEWICK_STUB_LOG (else stub_game.log in its working
// directory) and exits 0. With FABLEWICK_STUB_SHOW_MS set it first shows its
// name in a small window for that many milliseconds, so a person watching the
// demo sees that the game started.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

// Paths are read through the wide calls and logged in UTF-8, so a folder in
// any script, or longer than MAX_PATH, is logged as it is.
std::string Utf8(const std::wstring& text) {
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

std::wstring Wide(const std::string& utf8) {
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), length);
  return text;
}

constexpr DWORD kLongestPath = 32768;

std::string WorkingDirectory() {
  std::wstring buffer(kLongestPath, L'\0');
  DWORD length = GetCurrentDirectoryW(kLongestPath, buffer.data());
  buffer.resize(length < kLongestPath ? length : 0);
  return Utf8(buffer);
}

std::string OwnFileName() {
  std::wstring buffer(kLongestPath, L'\0');
  DWORD length = GetModuleFileNameW(nullptr, buffer.data(), kLongestPath);
  std::string path = Utf8(buffer.substr(0, length < kLongestPath ? length : 0));
  std::string::size_type slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The command line with the program's own name taken off, quoted or not.
std::string Arguments() {
  const char* line = GetCommandLineA();
  if (*line == '"') {
    ++line;
    while (*line != '\0' && *line != '"') ++line;
    if (*line == '"') ++line;
  } else {
    while (*line != '\0' && *line != ' ' && *line != '\t') ++line;
  }
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}

std::string Environment(const wchar_t* name) {
  std::wstring buffer(kLongestPath, L'\0');
  DWORD length = GetEnvironmentVariableW(name, buffer.data(), kLongestPath);
  buffer.resize(length < kLongestPath ? length : 0);
  return Utf8(buffer);
}

bool AppendLine(const std::string& path, const std::string& line) {
  // FILE_APPEND_DATA without FILE_WRITE_DATA makes every write land at the
  // end, so two games started together never overwrite each other's line.
  HANDLE file = CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == line.size();
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_PAINT: {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    RECT client;
    GetClientRect(window, &client);
    DrawTextA(dc, title, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(window, &paint);
    return 0;
  }
  case WM_TIMER:
    DestroyWindow(window);
    return 0;
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  default:
    return DefWindowProcA(window, message, wParam, lParam);
  }
}

void ShowBriefly(HINSTANCE instance, const std::string& title, UINT milliseconds) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = "FablewickStubGame";
  if (!RegisterClassA(&windowClass)) return;
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, title.c_str(),
                                WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, CW_USEDEFAULT,
                                CW_USEDEFAULT, 320, 120, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return;
  SetTimer(window, 1, milliseconds, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  std::string logPath = Environment(L"FABLEWICK_STUB_LOG");
  if (logPath.empty()) logPath = "stub_game.log";
  std::string name = OwnFileName();
  AppendLine(logPath, "started\t" + WorkingDirectory() + "\t" + name + "\t" + Arguments() + "\r\n");

  std::string showFor = Environment(L"FABLEWICK_STUB_SHOW_MS");
  if (!showFor.empty()) {
    UINT milliseconds = static_cast<UINT>(std::strtoul(showFor.c_str(), nullptr, 10));
    if (milliseconds > 0) ShowBriefly(instance, name + " started", milliseconds);
  }
  return 0;
}
