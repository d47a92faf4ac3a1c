#include "app/win32/message_dialog.h"

#include "app/app_error.h"
#include "app/dialog_place.h"
#include "app/win32/win32_monitors.h"
#include "app/win32/dpi.h"

#include <memory>

#include <optional>

namespace fablewick::win32 {

namespace {

constexpr char ButtonOwnerProperty[] = "FablewickDialog";
constexpr char ButtonProcProperty[] = "FablewickButtonProc";
constexpr int OkButtonId = 1;

const char* DialogLayout =
    "object MessageForm: TMessageForm\n"
    "  BorderStyle = bsDialog\n"
    "  BorderIcons = [biSystemMenu]\n"
    "  Position = poScreenCenter\n"
    "end\n";

class MessageForm : public Form {
public:
  MessageForm(FormHost& host, const std::string& text, MessageType type)
      : Form(host, {.name = "TMessageForm", .layoutResource = {}, .layoutText = DialogLayout, .handlers = {},
              .factories = {}}) {
    const DialogLook look = LookOf(type);
    SetCaption(look.caption);
    // On the launcher's monitor, wherever the user has moved it; placed
    // before anything is measured, so the DPI read below is that monitor's.
    Win32Monitors monitors;
    if (const std::optional<Rect> area = DialogArea(monitors, host.MainWindow())) CentreIn(*area);

    // Font, icon and every distance in physical pixels at the DPI of the
    // monitor the dialog comes up on, so its text is sharp there.
    const int dpi = WindowDpi(Handle());
    font_ = MessageFontAt(dpi);
    HFONT font = font_ ? font_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    // Spacing in dialog units of the message font, as dialog templates do.
    WindowDC screen(nullptr);
    std::optional<SelectedObject> measuring(std::in_place, screen.Get(), font);
    TEXTMETRICA tm{};
    GetTextMetricsA(screen.Get(), &tm);
    SIZE alphabet{};
    const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    GetTextExtentPoint32A(screen.Get(), letters, 52, &alphabet);
    int unitX = (alphabet.cx / 26 + 1) / 2, unitY = tm.tmHeight;
    auto dx = [&](int units) { return MulDiv(units, unitX, 4); };
    auto dy = [&](int units) { return MulDiv(units, unitY, 8); };

    RECT textRect{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    DrawTextA(screen.Get(), text.c_str(), static_cast<int>(text.size()), &textRect,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    measuring.reset();

    int margin = dx(8), topMargin = dy(8), spacing = dx(10), gap = dy(10);
    int iconWidth = SystemMetricAt(SM_CXICON, dpi), iconHeight = SystemMetricAt(SM_CYICON, dpi);
    int buttonWidth = dx(50), buttonHeight = dy(14);
    int textWidth = textRect.right - textRect.left, textHeight = textRect.bottom - textRect.top;
    int contentWidth = iconWidth + spacing + textWidth;
    int contentHeight = textHeight > iconHeight ? textHeight : iconHeight;
    int clientWidth = (contentWidth > buttonWidth ? contentWidth : buttonWidth) + 2 * margin;
    int clientHeight = topMargin + contentHeight + gap + buttonHeight + topMargin;

    HINSTANCE instance = GetModuleHandleA(nullptr);
    icon_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_ICON, margin, topMargin, iconWidth,
                            iconHeight, Handle(), nullptr, instance, nullptr);
    text_ = CreateWindowExA(0, "STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                            margin + iconWidth + spacing, topMargin, textWidth, textHeight, Handle(), nullptr,
                            instance, nullptr);
    button_ = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                              (clientWidth - buttonWidth) / 2, topMargin + contentHeight + gap, buttonWidth,
                              buttonHeight, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(OkButtonId)),
                              instance, nullptr);
    if (!icon_ || !text_ || !button_) throw AppError("Cannot create the message dialog");
    iconImage_ = std::make_unique<SystemIcon>(look.icon == DialogIcon::Stop ? reinterpret_cast<LPCSTR>(IDI_HAND)
                                                                            : reinterpret_cast<LPCSTR>(IDI_ASTERISK),
                                              dpi);
    SendMessageA(icon_, STM_SETICON, reinterpret_cast<WPARAM>(iconImage_->Get()), 0);
    SendMessageA(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(button_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    // Outside a dialog box nothing turns Enter and Escape into a button
    // press, so the button does it itself.
    SetPropA(button_, ButtonOwnerProperty, this);
    SetPropA(button_, ButtonProcProperty,
             reinterpret_cast<HANDLE>(GetWindowLongPtrA(button_, GWLP_WNDPROC)));
    SetWindowLongPtrA(button_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MessageForm::ButtonProc));

    SetClientSize(clientWidth, clientHeight);
  }

  ~MessageForm() override {
    if (button_ && IsWindow(button_)) {
      SetWindowLongPtrA(button_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetPropA(button_, ButtonProcProperty)));
      RemovePropA(button_, ButtonProcProperty);
      RemovePropA(button_, ButtonOwnerProperty);
    }
  }

protected:
  bool FormMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    switch (message) {
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) == button_ && HIWORD(wParam) == BN_CLICKED) {
        SetModalResult(mrOk);
        result = 0;
        return true;
      }
      return false;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && button_) {
        SetFocus(button_);
        result = 0;
        return true;
      }
      return false;
    default:
      return false;
    }
  }

private:
  static LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = static_cast<MessageForm*>(GetPropA(button, ButtonOwnerProperty));
    auto original = reinterpret_cast<WNDPROC>(GetPropA(button, ButtonProcProperty));
    if (form && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
      if (message == WM_KEYDOWN) {
        form->SetModalResult(mrOk);
        return 0;
      }
      if (message == WM_CHAR) return 0;
    }
    if (message == WM_GETDLGCODE) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON | DLGC_WANTALLKEYS;
    return original ? CallWindowProcA(original, button, message, wParam, lParam)
                    : DefWindowProcA(button, message, wParam, lParam);
  }

  UniqueFont font_;
  std::unique_ptr<SystemIcon> iconImage_;
  HWND icon_ = nullptr;
  HWND text_ = nullptr;
  HWND button_ = nullptr;
};

} // namespace

int MessageDlg(FormHost& host, const std::string& text, MessageType type) {
  MessageForm form(host, text, type);
  return form.ShowModal();
}

void DialogMessages::ShowMessage(const std::string& text, MessageType type) { MessageDlg(host_, text, type); }

} // namespace fablewick::win32
