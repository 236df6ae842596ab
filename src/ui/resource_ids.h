#pragma once
// Resource ids of the program (shared by the .rc files and the code).
#define kIconMain 1
