#pragma once
// Pictures of the program's windows: JPEG resources decoded with the Windows
// Imaging Component, bitmap resources, the choice between the 96-DPI and the
// 1.5x (144 DPI) version of a picture, and the pixel layout that keeps the small
// information windows crisp at any DPI.
#include <windows.h>

#include <cstddef>

#include "app/dpi_win32.h"

namespace tarnwick {

// An owned bitmap and its size in pixels.
class Picture {
 public:
  Picture() = default;
  Picture(HBITMAP bitmap, int width, int height)
      : bitmap_(bitmap), width_(width), height_(height) {}
  ~Picture() { Reset(); }
  Picture(Picture&& other) noexcept { *this = static_cast<Picture&&>(other); }
  Picture& operator=(Picture&& other) noexcept;
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  explicit operator bool() const { return bitmap_ != nullptr; }
  HBITMAP get() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }
  void Reset();

  // Draws the picture into `area`: 1:1 when the sizes agree, else stretched.
  void Draw(HDC dc, const RECT& area) const;

 private:
  HBITMAP bitmap_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// Decodes JPEG bytes into a top-down 32-bit DIB section (premultiplied BGRA).
// Throws Error when the bytes are not a picture the codec can read.
Picture DecodeJpeg(const void* data, std::size_t size);

// Decodes the JPEG stored as RCDATA resource `id` of `module`. Throws Error when
// the resource is missing or cannot be decoded.
Picture LoadJpegResource(HMODULE module, int id);

// Loads the BITMAP resource `id` of `module`. Throws Error when it is missing.
Picture LoadBitmapResource(HMODULE module, int id);

// 96-DPI pixels scaled to `dpi`.
inline int ScaleToDpi(int pixels, int dpi) {
  return MulDiv(pixels, dpi, 96);
}

// Pictures come in a 96-DPI version and a 1.5x one. The larger one serves from
// 144 DPI up; at other DPIs the chosen one is stretched to the scaled size.
inline int PictureIdForDpi(int id96, int id144, int dpi) {
  return dpi >= 144 ? id144 : id96;
}

// A child's place in 96-DPI pixels of its parent's client area.
struct PixelBox {
  int left, top, width, height;
};

// Moves child `id` of `dialog` to `box` scaled to `dpi`.
void PlaceChild(HWND dialog, int id, const PixelBox& box, int dpi);

// Gives `window` a client area of `width` x `height` pixels, keeping its frame
// and its top-left corner.
void SetClientSize(HWND window, int width, int height);

// An owned font in the face of `window`'s dialog font, `pixel_height` 96-DPI
// pixels high (scaled to `dpi`).
class Font {
 public:
  Font() = default;
  ~Font() { Reset(); }
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
  void Create(HWND window, int pixel_height, bool bold, int dpi);
  HFONT get() const { return font_; }
  void Reset();
  void Swap(Font& other) noexcept {
    HFONT mine = font_;
    font_ = other.font_;
    other.font_ = mine;
  }

 private:
  HFONT font_ = nullptr;
};

}  // namespace tarnwick
