#pragma once
// Ids of the reconnect window's children and timer (range 3000-3999).
#define kReconnectingLabel1 3001
#define kReconnectingLabel2 3002
#define kReconnectingStatus 3003
#define kReconnectingButton1 3004
#define kReconnectingTimer1 3010
