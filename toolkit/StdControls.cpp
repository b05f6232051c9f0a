#include "toolkit/StdControls.h"

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "toolkit/Form.h"

namespace tk {

// ---- Label ----

Label::Label(WinControl* parent, std::string name) : WinControl(parent, std::move(name)) {}

void Label::GetCreateParams(CreateParams& params) {
  WinControl::GetCreateParams(params);
  params.baseClass = "STATIC";
  params.className = "QuorvelLabel";
  params.style |= SS_LEFT | SS_NOPREFIX;
}

void Label::AfterCreate() { FitToText(); }

void Label::DpiChanged() {
  WinControl::DpiChanged();
  FitToText();
}

void Label::FitToText() {
  HDC dc = GetDC(handle_);
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(handle_, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font);
  std::string text = Text();
  SIZE size{0, 0};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(handle_, dc);
  // Measured at the form's dpi; the bounds keep the 96-dpi design.
  RECT bounds = Bounds();
  int dpi = Dpi();
  SetBounds(bounds.left, bounds.top, MulDiv(size.cx, kDesignDpi, dpi),
            MulDiv(metrics.tmHeight, kDesignDpi, dpi));
}

LRESULT Label::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCHITTEST) return HTTRANSPARENT;  // presses go to the form beneath
  return WinControl::WndProc(message, wParam, lParam);
}

// ---- Edit ----

Edit::Edit(WinControl* parent, std::string name) : WinControl(parent, std::move(name)) {
  SetTabStop(true);
}

void Edit::GetCreateParams(CreateParams& params) {
  WinControl::GetCreateParams(params);
  params.baseClass = "EDIT";
  params.className = "QuorvelEdit";
  params.style |= ES_LEFT | ES_AUTOHSCROLL;
  params.exStyle |= WS_EX_CLIENTEDGE;
}

void Edit::AfterCreate() {
  SendMessageA(handle_, EM_LIMITTEXT, 0, 0);  // no length limit
}

void Edit::SelectAll() { SendMessageA(Handle(), EM_SETSEL, 0, -1); }

std::pair<int, int> Edit::Selection() {
  DWORD start = 0, end = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(start), static_cast<int>(end)};
}

LRESULT Edit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS: {
      if (!FormTakesFocus()) return 0;
      LRESULT result = DefaultProc(message, wParam, lParam);
      ApplyImeMode(handle_, imeMode_);
      if (!clicking_ && FocusFromSameWindow(handle_, reinterpret_cast<HWND>(wParam)))
        SendMessageA(handle_, EM_SETSEL, 0, -1);
      return result;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      clicking_ = true;
      try {
        LRESULT result = WinControl::WndProc(message, wParam, lParam);
        clicking_ = false;
        return result;
      } catch (...) {
        clicking_ = false;
        throw;
      }
    }
  }
  return WinControl::WndProc(message, wParam, lParam);
}

// ---- BitmapButton ----

namespace {

// The six state images of a button (normal, hot, pressed, disabled, defaulted, stylus hot)
// side by side in one 32-bit bitmap whose alpha leaves out the glyph strip's transparent
// colour, the colour of its bottom-left pixel. The disabled image is the strip's second
// glyph, or a lighter grey copy of the first.
HBITMAP StateImages(HBITMAP strip, int size, bool hasDisabledGlyph) {
  BITMAP shape{};
  GetObjectA(strip, sizeof shape, &shape);
  int stripWidth = shape.bmWidth;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), stripWidth, -size, 1, 32, BI_RGB};
  std::vector<DWORD> pixels(static_cast<size_t>(stripWidth) * size);
  HDC dc = CreateCompatibleDC(nullptr);
  GetDIBits(dc, strip, 0, size, pixels.data(), &info, DIB_RGB_COLORS);
  DWORD key = pixels[static_cast<size_t>(size - 1) * stripWidth] & 0xFFFFFF;
  info.bmiHeader.biWidth = 6 * size;
  void* bits = nullptr;
  HBITMAP images = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  DeleteDC(dc);
  if (!images) return nullptr;
  auto* out = static_cast<DWORD*>(bits);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      DWORD normal = pixels[static_cast<size_t>(y) * stripWidth + x] & 0xFFFFFF;
      DWORD disabled = normal;
      if (hasDisabledGlyph && stripWidth >= 2 * size) {
        disabled = pixels[static_cast<size_t>(y) * stripWidth + size + x] & 0xFFFFFF;
      } else if (normal != key) {
        DWORD grey = (((normal >> 16) & 0xFF) * 30 + ((normal >> 8) & 0xFF) * 59 +
                      (normal & 0xFF) * 11) / 100;
        grey = 128 + grey / 2;
        disabled = (grey << 16) | (grey << 8) | grey;
      }
      for (int state = 0; state < 6; ++state) {
        DWORD pixel = state == 3 ? disabled : normal;
        out[static_cast<size_t>(y) * 6 * size + state * size + x] =
            pixel == key ? 0 : (0xFF000000 | pixel);
      }
    }
  }
  return images;
}

}  // namespace

BitmapButton::BitmapButton(WinControl* parent, std::string name)
    : WinControl(parent, std::move(name)) {
  SetTabStop(true);
}

BitmapButton::~BitmapButton() {
  DestroyHandle();
  if (images_) ImageList_Destroy(images_);
}

void BitmapButton::SetGlyph(int resourceId, int glyphCount) {
  glyphId_ = resourceId;
  glyphCount_ = glyphCount;
}

void BitmapButton::GetCreateParams(CreateParams& params) {
  WinControl::GetCreateParams(params);
  params.baseClass = "BUTTON";
  params.className = "QuorvelButton";
  params.style |= BS_PUSHBUTTON;
}

void BitmapButton::AfterCreate() {
  if (!glyphId_) return;
  if (!images_) {
    // The glyph drawn for the display's scale: 16 pixels at 100 %, 24 from 150 %, 32 from
    // 200 %, each a resource of its own (the identifier plus 100 and 200), never stretched.
    int size = 16;
    HBITMAP strip = nullptr;
    for (int candidate : {32, 24, 16}) {
      if (candidate > Scaled(16) && candidate != 16) continue;
      int id = glyphId_ + (candidate - 16) / 8 * 100;
      strip = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
      if (strip) {
        size = candidate;
        break;
      }
    }
    if (!strip) return;
    HBITMAP states = StateImages(strip, size, glyphCount_ > 1);
    DeleteObject(strip);
    if (!states) return;
    images_ = ImageList_Create(size, size, ILC_COLOR32, 6, 0);
    ImageList_Add(images_, states, nullptr);
    DeleteObject(states);
  }
  BUTTON_IMAGELIST list{images_, {Scaled(4), 0, 0, 0}, BUTTON_IMAGELIST_ALIGN_LEFT};
  SendMessageA(handle_, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list));
}

void BitmapButton::DpiChanged() {
  WinControl::DpiChanged();
  if (images_) ImageList_Destroy(images_);
  images_ = nullptr;
  if (HandleAllocated()) AfterCreate();
}

void BitmapButton::CommandNotify(WORD code) {
  if (code == BN_CLICKED && OnClick) OnClick(*this);
}

// ---- Bevel ----

Bevel::Bevel(WinControl* parent, std::string name) : WinControl(parent, std::move(name)) {}

void Bevel::GetCreateParams(CreateParams& params) {
  WinControl::GetCreateParams(params);
  params.className = "QuorvelBevel";
}

LRESULT Bevel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(handle_, &paint);
      RECT area;
      GetClientRect(handle_, &area);
      DrawEdge(dc, &area, BDR_SUNKENOUTER, BF_RECT);
      EndPaint(handle_, &paint);
      return 0;
    }
  }
  return WinControl::WndProc(message, wParam, lParam);
}

void FitComboBoxClosedHeight(HWND box, int height) {
  const int probe = 16;
  SendMessageA(box, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), probe);
  RECT closed;
  GetWindowRect(box, &closed);
  SendMessageA(box, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
               probe + height - (closed.bottom - closed.top));
}

// ---- ComboBoxStrings ----

LRESULT ComboBoxStrings::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  return SendMessageA(owner_.Handle(), message, wParam, lParam);
}

int ComboBoxStrings::Count() const { return static_cast<int>(Send(CB_GETCOUNT, 0, 0)); }

// The "A" form of the item text messages (CB_GETLBTEXT, LB_GETTEXT) crashes under Wine on
// items of about 1,000 characters and more; the list window's UTF-16 text is read instead,
// its length asked first, and converted here.
std::string ComboBoxStrings::Get(int index) const {
  HWND list = owner_.ListHandle();
  LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return "";
  std::wstring text(length + 1, L'\0');
  length = SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(length == LB_ERR ? 0 : length);
  return platform::WideToAnsi(text);
}

int ComboBoxStrings::Add(const std::string& text) {
  LRESULT index = Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (index < 0) throw platform::OutOfResources("行を挿入できません");
  return static_cast<int>(index);
}

// Straight to the list window, in UTF-16: every message through the box's own window
// procedure looks the control up by a window property, which under Wine is a round trip
// to the server (about 40 us), and a long list is then dominated by that.
void ComboBoxStrings::AddStrings(const std::vector<std::string>& texts) {
  if (texts.empty()) return;
  HWND box = owner_.Handle();
  HWND list = owner_.ListHandle();
  size_t units = 0;
  for (const std::string& text : texts) units += text.size() + 1;
  // A hint; the list may refuse it.
  SendMessageW(list, LB_INITSTORAGE, texts.size(), static_cast<LPARAM>(units * sizeof(wchar_t)));
  SendMessageA(box, WM_SETREDRAW, FALSE, 0);
  try {
    for (const std::string& text : texts) {
      std::wstring wide = platform::AnsiToWide(text);
      if (SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())) < 0)
        throw platform::OutOfResources("行を挿入できません");
    }
  } catch (...) {
    SendMessageA(box, WM_SETREDRAW, TRUE, 0);
    throw;
  }
  SendMessageA(box, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void ComboBoxStrings::Insert(int index, const std::string& text) {
  if (Send(CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())) < 0)
    throw platform::OutOfResources("行を挿入できません");
}

void ComboBoxStrings::Delete(int index) { Send(CB_DELETESTRING, index, 0); }

void ComboBoxStrings::Clear() {
  if (owner_.Style() == ComboBoxStyle::DropDownList) {
    Send(CB_RESETCONTENT, 0, 0);
    return;
  }
  std::string text = owner_.Text();
  Send(CB_RESETCONTENT, 0, 0);
  owner_.SetText(text);
  RedrawWindow(owner_.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int ComboBoxStrings::IndexOf(const std::string& text) const {
  return static_cast<int>(
      Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())));
}

// ---- ComboBox ----

ComboBox::ComboBox(WinControl* parent, std::string name) : WinControl(parent, std::move(name)) {
  SetTabStop(true);
}

void ComboBox::GetCreateParams(CreateParams& params) {
  WinControl::GetCreateParams(params);
  params.baseClass = "COMBOBOX";
  params.className = "QuorvelComboBox";
  params.style |= (style_ == ComboBoxStyle::DropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN) |
                  CBS_HASSTRINGS | WS_VSCROLL;
}

void ComboBox::AfterCreate() {
  if (style_ == ComboBoxStyle::DropDown) SendMessageA(handle_, CB_LIMITTEXT, 0, 0);  // no limit
  FitHeights();
  for (const std::string& item : savedItems_) items_.Add(item);
  if (savedIndex_ >= 0) SendMessageA(handle_, CB_SETCURSEL, savedIndex_, 0);
  savedItems_.clear();
  savedIndex_ = -1;
}

// The window's height includes the open list; the platform sizes the closed box itself, as
// high as its selection field, which the font decides. All at the form's dpi.
void ComboBox::FitHeights() {
  RECT place = WindowRect();
  MoveWindow(handle_, place.left, place.top, place.right - place.left,
             Scaled(Height() + itemHeight_ * dropDownCount_) + 2, FALSE);
  FitComboBoxClosedHeight(handle_, Scaled(Height()));
}

void ComboBox::DpiChanged() {
  WinControl::DpiChanged();
  if (HandleAllocated()) FitHeights();
}

void ComboBox::BeforeDestroy() {
  savedItems_.clear();
  for (int i = 0, count = items_.Count(); i < count; ++i) savedItems_.push_back(items_.Get(i));
  savedIndex_ = ItemIndex();
}

HWND ComboBox::ListHandle() {
  COMBOBOXINFO info{sizeof info};
  GetComboBoxInfo(Handle(), &info);
  return info.hwndList;
}

HWND ComboBox::EditHandle() {
  if (style_ == ComboBoxStyle::DropDownList) return nullptr;
  COMBOBOXINFO info{sizeof info};
  GetComboBoxInfo(Handle(), &info);
  return info.hwndItem;
}

void ComboBox::SetFocus() {
  if (!Focused()) ::SetFocus(EditHandle() ? EditHandle() : Handle());
}

int ComboBox::ItemIndex() { return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0)); }

void ComboBox::SetItemIndex(int index) {
  if (ItemIndex() != index) SendMessageA(Handle(), CB_SETCURSEL, index, 0);
}

void ComboBox::CommandNotify(WORD code) {
  if ((code == CBN_SELCHANGE || code == CBN_EDITCHANGE) && OnChange) OnChange(*this);
}

LRESULT ComboBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // Alt+F4 closes the window of the focused control by the platform's default handling. The
  // combo box does nothing else with it, but Wine's keeps every Alt key press to itself
  // (Windows' passes it on), so the press goes to the default handling directly.
  if (message == WM_SYSKEYDOWN && wParam == VK_F4 && (HIWORD(lParam) & KF_ALTDOWN))
    return DefWindowProcA(handle_, message, wParam, lParam);
  return WinControl::WndProc(message, wParam, lParam);
}

}  // namespace tk
