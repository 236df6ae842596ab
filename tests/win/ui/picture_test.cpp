// JPEG decoding through the imaging component, the bitmap and icon resources the
// main window loads by id, and drawing a picture.
#include <gtest/gtest.h>
#include <objbase.h>

#include <string>

#include "app/com_win32.h"
#include "app/error.h"
#include "ui/info_windows_ids.h"
#include "ui/picture_win32.h"
#include "win/ui/info_test_ids.h"

namespace tarnwick {
namespace {

HMODULE Module() {
  return GetModuleHandleA(nullptr);
}

// The pixel at x, y of a picture, as 0xRRGGBB.
COLORREF PixelOf(const Picture& picture, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, picture.get());
  const COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return RGB(GetBValue(c), GetGValue(c), GetRValue(c));  // COLORREF is 0xBBGGRR
}

// True when each channel of `actual` is within 24 of `expected` (JPEG is lossy).
::testing::AssertionResult Near(COLORREF actual, COLORREF expected) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = (actual >> shift) & 0xff, e = (expected >> shift) & 0xff;
    if (a - e > 24 || e - a > 24) {
      char text[64];
      snprintf(text, sizeof text, "0x%06lx is not near 0x%06lx", actual, expected);
      return ::testing::AssertionFailure() << text;
    }
  }
  return ::testing::AssertionSuccess();
}

// The program runs COM on its window thread for its whole life; the decoder's
// own brief start and end of COM must neither fail there nor end it.
TEST(PictureTest, DecodesInsideTheProgramsComApartmentAndLeavesItRunning) {
  APTTYPE type{};
  APTTYPEQUALIFIER qualifier{};
  {
    const ComApartment com;
    ASSERT_TRUE(com.started()) << std::hex << com.result();
    for (int i = 0; i < 2; ++i) {
      Picture picture = LoadJpegResource(Module(), kJpgSplash);
      EXPECT_TRUE(picture);
    }
    ASSERT_EQ(CoGetApartmentType(&type, &qualifier), S_OK);
    EXPECT_TRUE(type == APTTYPE_MAINSTA || type == APTTYPE_STA) << type;
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
  }
  EXPECT_EQ(CoGetApartmentType(&type, &qualifier), CO_E_NOTINITIALIZED);
}

TEST(PictureTest, TheStripPicturesDecodeToTheirSizes) {
  struct Case {
    int id, width, height;
  } cases[] = {{kJpgSplash, 84, 177},
               {kJpgSplash144, 126, 266},
               {kJpgWizard, 81, 177},
               {kJpgWizard144, 122, 266}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Picture picture = LoadJpegResource(Module(), c.id);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture.width(), c.width);
    EXPECT_EQ(picture.height(), c.height);
    BITMAP info{};
    ASSERT_TRUE(GetObjectA(picture.get(), sizeof info, &info));
    EXPECT_EQ(info.bmBitsPixel, 32);
  }
}

TEST(PictureTest, DecodedPixelsKeepTheirColoursAndPlaces) {
  Picture picture = LoadJpegResource(Module(), kTestJpgQuadrants);
  ASSERT_TRUE(picture);
  ASSERT_EQ(picture.width(), 16);
  ASSERT_EQ(picture.height(), 16);
  // Channel order (BGRA in the DIB) and orientation (top-down rows).
  EXPECT_TRUE(Near(PixelOf(picture, 3, 3), 0xff0000));
  EXPECT_TRUE(Near(PixelOf(picture, 12, 3), 0x0000ff));
  EXPECT_TRUE(Near(PixelOf(picture, 3, 12), 0x00ff00));
  EXPECT_TRUE(Near(PixelOf(picture, 12, 12), 0xffffff));
}

TEST(PictureTest, BytesThatAreNoPictureAreRefused) {
  const std::string garbage(500, 'x');
  EXPECT_THROW(DecodeJpeg(garbage.data(), garbage.size()), Error);
  EXPECT_THROW(DecodeJpeg(garbage.data(), 0), Error);
  // A JPEG cut short after its header.
  HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(kJpgSplash), MAKEINTRESOURCEA(10));
  ASSERT_NE(found, nullptr);
  const void* bytes = LockResource(LoadResource(Module(), found));
  EXPECT_THROW(DecodeJpeg(bytes, 20), Error);
  EXPECT_THROW(LoadJpegResource(Module(), 2999), Error);
  EXPECT_THROW(LoadBitmapResource(Module(), 2999), Error);
}

TEST(PictureTest, TheMainWindowPicturesLoadByIdAtTheirSizes) {
  struct Case {
    int id, width, height;
  } cases[] = {
      {kBmpBand, 30, 1},          {kBmpConnected, 24, 24},       {kBmpConnected144, 36, 36},
      {kBmpNotConnected, 24, 24}, {kBmpNotConnected144, 36, 36}, {kBmpSmall27, 33, 27},
      {kBmpSmall27_144, 50, 41},  {kBmpSmall33, 33, 33},         {kBmpSmall33_144, 50, 50}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Picture picture = LoadBitmapResource(Module(), c.id);
    EXPECT_EQ(picture.width(), c.width);
    EXPECT_EQ(picture.height(), c.height);
  }
}

TEST(PictureTest, TheToolbarGlyphsAreIconsWithAlphaAt32And48) {
  for (int id : {kIcoReconnect, kIcoIPMonitor, kIcoScheduler, kIcoKeepAlive}) {
    for (int size : {32, 48}) {
      SCOPED_TRACE(std::to_string(id) + " at " + std::to_string(size));
      auto icon =
          static_cast<HICON>(LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
      ASSERT_NE(icon, nullptr);
      ICONINFO info{};
      ASSERT_TRUE(GetIconInfo(icon, &info));
      BITMAP colour{};
      GetObjectA(info.hbmColor, sizeof colour, &colour);
      EXPECT_EQ(colour.bmWidth, size);
      EXPECT_EQ(colour.bmHeight, size);
      EXPECT_EQ(colour.bmBitsPixel, 32);
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
      DestroyIcon(icon);
    }
  }
}

TEST(PictureTest, DrawCopiesOrStretchesIntoTheArea) {
  Picture picture = LoadJpegResource(Module(), kTestJpgQuadrants);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 40, 40);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, target);
  PatBlt(dc, 0, 0, 40, 40, BLACKNESS);

  picture.Draw(dc, RECT{0, 0, 16, 16});
  EXPECT_TRUE(Near(GetPixel(dc, 12, 3), RGB(0, 0, 255)));
  // Stretched to 24 x 24 at 16, 16: the bottom-right quadrant is white.
  picture.Draw(dc, RECT{16, 16, 40, 40});
  EXPECT_TRUE(Near(GetPixel(dc, 36, 36), RGB(255, 255, 255)));
  EXPECT_TRUE(Near(GetPixel(dc, 19, 36), RGB(0, 255, 0)));

  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
}

TEST(PictureTest, PicturesFollowTheDpi) {
  EXPECT_EQ(PictureIdForDpi(kJpgSplash, kJpgSplash144, 96), kJpgSplash);
  EXPECT_EQ(PictureIdForDpi(kJpgSplash, kJpgSplash144, 143), kJpgSplash);
  EXPECT_EQ(PictureIdForDpi(kJpgSplash, kJpgSplash144, 144), kJpgSplash144);
  EXPECT_EQ(PictureIdForDpi(kJpgSplash, kJpgSplash144, 192), kJpgSplash144);
}

}  // namespace
}  // namespace tarnwick
