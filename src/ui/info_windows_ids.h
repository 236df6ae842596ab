#pragma once
// Resource ids of the splash and About windows and of the program's pictures
// (range 2000-2999). Shared by info_windows.rc and the code; plain macros so that
// the resource compiler reads them too.

// Pictures of the main window. The state pictures come in a 96-DPI size and a
// 1.5x size for 144 DPI; the toolbar glyphs are icons holding 32 x 32 and
// 48 x 48 images with alpha (LoadImage picks the size asked for).
#define kBmpBand 2001                // 30 x 1, the left band pattern
#define kBmpConnected 2002           // 24 x 24
#define kBmpConnected144 2003        // 36 x 36
#define kBmpNotConnected 2004        // 24 x 24
#define kBmpNotConnected144 2005     // 36 x 36
#define kIcoReconnect 2010           // toolbar glyphs, 32 x 32 and 48 x 48
#define kIcoIPMonitor 2011
#define kIcoScheduler 2012
#define kIcoKeepAlive 2013
// The images of those icons (RT_ICON); the group directories in res/*.grp name
// them by these numbers, so they change only together with scripts/make-artwork.
#define kIcoImageReconnect32 2040
#define kIcoImageReconnect48 2041
#define kIcoImageIPMonitor32 2042
#define kIcoImageIPMonitor48 2043
#define kIcoImageScheduler32 2044
#define kIcoImageScheduler48 2045
#define kIcoImageKeepAlive32 2046
#define kIcoImageKeepAlive48 2047

// JPEG pictures (RCDATA), decoded with the Windows Imaging Component.
#define kJpgSplash 2020     // 84 x 177
#define kJpgSplash144 2021  // 126 x 266
#define kJpgWizard 2022     // 81 x 177
#define kJpgWizard144 2023  // 122 x 266

// The small picture of the splash and the About window.
#define kBmpSmall27 2030     // 33 x 27 (splash)
#define kBmpSmall27_144 2031 // 50 x 41
#define kBmpSmall33 2032     // 33 x 33 (About)
#define kBmpSmall33_144 2033 // 50 x 50

// The splash window and its controls.
#define kDlgSplash 2100
#define kSplashImage1 2101
#define kSplashProductName 2102
#define kSplashVersion 2103
#define kSplashImage2 2104
#define kSplashBevel 2105
#define kSplashButton2 2106

// The About window and its controls.
#define kDlgAbout 2200
#define kAboutLabel1 2201
#define kAboutVersion 2202
#define kAboutImage1 2203
#define kAboutBitBtn1 2204
