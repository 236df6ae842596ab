#ifndef TARNWICK_APP_VERSION_H
#define TARNWICK_APP_VERSION_H
/* The program's version and publisher, in one place: the version resource, the
   splash and About windows and the installer (scripts/release reads this file)
   all take them from here. Plain macros, so the resource compiler can read it. */
#define TARNWICK_VERSION_MAJOR 1
#define TARNWICK_VERSION_MINOR 11
#define TARNWICK_VERSION_TEXT "1.11"
#define TARNWICK_PUBLISHER "Fenmoor Software"
#define TARNWICK_COPYRIGHT "Copyright (c) 2026 Fenmoor Software"
#endif
