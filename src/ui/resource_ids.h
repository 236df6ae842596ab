#pragma once
// Resource ids of the main window's pictures (shared by the .rc files and the code).
#define kIconMain 1
#define kBitmapBand 10
#define kBitmapConnected 11
#define kBitmapNotConnected 12
#define kGlyphReconnect 20
#define kGlyphIpMonitor 21
#define kGlyphScheduler 22
#define kGlyphKeepAlive 23
