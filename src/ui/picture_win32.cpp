#include "ui/picture_win32.h"

#include <wincodec.h>

#include <cstdio>
#include <string>

#include "app/error.h"

namespace tarnwick {
namespace {

// Owns one COM interface pointer.
template <typename T>
class Com {
 public:
  Com() = default;
  ~Com() {
    if (p_) p_->Release();
  }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  T** put() { return &p_; }

 private:
  T* p_ = nullptr;
};

// COM for the current thread while decoding. A thread that already runs COM in
// the other apartment model keeps it (RPC_E_CHANGED_MODE): the factory works
// there too, and that initialisation is not ours to undo.
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  bool usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }
  HRESULT result() const { return hr_; }

 private:
  HRESULT hr_;
};

[[noreturn]] void Fail(const char* what, HRESULT hr) {
  char text[96];
  std::snprintf(text, sizeof text, "Unable to %s (error 0x%08lX).", what,
                static_cast<unsigned long>(hr));
  throw Error(text);
}

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) Fail(what, hr);
}

}  // namespace

Picture& Picture::operator=(Picture&& other) noexcept {
  if (this != &other) {
    Reset();
    bitmap_ = other.bitmap_;
    width_ = other.width_;
    height_ = other.height_;
    other.bitmap_ = nullptr;
    other.width_ = other.height_ = 0;
  }
  return *this;
}

void Picture::Reset() {
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  width_ = height_ = 0;
}

void Picture::Draw(HDC dc, const RECT& area) const {
  if (!bitmap_) return;
  HDC source = CreateCompatibleDC(dc);
  if (!source) return;
  HGDIOBJ old = SelectObject(source, bitmap_);
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (w == width_ && h == height_) {
    BitBlt(dc, area.left, area.top, w, h, source, 0, 0, SRCCOPY);
  } else {
    const int old_mode = SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, area.left, area.top, w, h, source, 0, 0, width_, height_, SRCCOPY);
    SetStretchBltMode(dc, old_mode);
  }
  SelectObject(source, old);
  DeleteDC(source);
}

Picture DecodeJpeg(const void* data, std::size_t size) {
  if (!data || size == 0 || size > 0x7fffffff) throw Error("Unable to read an empty picture.");
  ComScope com;
  if (!com.usable()) Fail("start COM", com.result());

  Com<IWICImagingFactory> factory;
  Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                         IID_IWICImagingFactory, reinterpret_cast<void**>(factory.put())),
        "start the imaging component");
  Com<IWICStream> stream;
  Check(factory->CreateStream(stream.put()), "read the picture");
  // The stream reads the bytes in place; it never writes to them.
  Check(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)),
                                     static_cast<DWORD>(size)),
        "read the picture");
  Com<IWICBitmapDecoder> decoder;
  Check(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                         decoder.put()),
        "decode the picture");
  Com<IWICBitmapFrameDecode> frame;
  Check(decoder->GetFrame(0, frame.put()), "decode the picture");
  Com<IWICFormatConverter> converter;
  Check(factory->CreateFormatConverter(converter.put()), "convert the picture");
  Check(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                              nullptr, 0.0, WICBitmapPaletteTypeCustom),
        "convert the picture");
  UINT width = 0, height = 0;
  Check(converter->GetSize(&width, &height), "convert the picture");
  // Keeps the stride arithmetic below far from overflow.
  if (width == 0 || height == 0 || width > 16384 || height > 16384) {
    throw Error("Unable to decode the picture (bad size).");
  }

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as WIC copies
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) throw Error("Unable to create the picture's bitmap.");
  Picture picture(bitmap, static_cast<int>(width), static_cast<int>(height));
  const UINT stride = width * 4;
  Check(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)),
        "decode the picture");
  GdiFlush();
  return picture;
}

Picture LoadJpegResource(HMODULE module, int id) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) throw Error("Unable to find picture " + std::to_string(id) + ".");
  return DecodeJpeg(data, SizeofResource(module, found));
}

Picture LoadBitmapResource(HMODULE module, int id) {
  auto bitmap = static_cast<HBITMAP>(
      LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) throw Error("Unable to find picture " + std::to_string(id) + ".");
  BITMAP info{};
  GetObjectA(bitmap, sizeof info, &info);
  return Picture(bitmap, info.bmWidth, info.bmHeight);
}

void PlaceChild(HWND dialog, int id, const PixelBox& box, int dpi) {
  if (HWND child = GetDlgItem(dialog, id)) {
    MoveWindow(child, ScaleToDpi(box.left, dpi), ScaleToDpi(box.top, dpi),
               ScaleToDpi(box.width, dpi), ScaleToDpi(box.height, dpi), FALSE);
  }
}

void SetClientSize(HWND window, int width, int height) {
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  const int frame_w = (outer.right - outer.left) - client.right;
  const int frame_h = (outer.bottom - outer.top) - client.bottom;
  SetWindowPos(window, nullptr, 0, 0, width + frame_w, height + frame_h,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Font::Create(HWND window, int pixel_height, bool bold, int dpi) {
  Reset();
  LOGFONTA face{};
  auto dialog_font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
  if (!dialog_font || !GetObjectA(dialog_font, sizeof face, &face)) {
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face);
  }
  face.lfHeight = -ScaleToDpi(pixel_height, dpi);
  face.lfWidth = 0;
  face.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font_ = CreateFontIndirectA(&face);
}

void Font::Reset() {
  if (font_) DeleteObject(font_);
  font_ = nullptr;
}

}  // namespace tarnwick
