#include "toolkit/BitmapButton.h"

#include <vector>

#include "toolkit/Accessibility.h"

namespace tk {

namespace {

// The six state images of a button (normal, hot, pressed, disabled, defaulted, stylus hot)
// side by side in one 32-bit bitmap whose alpha leaves out the glyph strip's transparent
// colour, the colour of its bottom-left pixel. The disabled image is the strip's second
// glyph, or a lighter grey copy of the first.
HBITMAP StateImages(HBITMAP strip, int size, bool hasDisabledGlyph) {
  BITMAP shape{};
  GetObjectW(strip, sizeof shape, &shape);
  int stripWidth = shape.bmWidth;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = stripWidth;
  info.bmiHeader.biHeight = -size;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
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
        DWORD grey =
            (((normal >> 16) & 0xFF) * 30 + ((normal >> 8) & 0xFF) * 59 + (normal & 0xFF) * 11) /
            100;
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
  params.accessibleRole = ROLE_SYSTEM_PUSHBUTTON;
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
      strip = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
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
  SendMessageW(handle_, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list));
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

}  // namespace tk
