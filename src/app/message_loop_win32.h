#pragma once
// Message processing for waits that run inside a handler. Everything runs on the
// user-interface thread, so a wait lets timers, RAS events and user commands run
// nested inside it; a wait must end early once the program is quitting.
namespace tarnwick {

// Dispatches every pending message. A WM_QUIT is not swallowed: it is posted
// again for the outer loop and the program counts as quitting. Returns false
// when the program is quitting.
bool ProcessMessages();

// True once WM_QUIT has been seen or requested.
bool Quitting();

// Ends the message loop (the application's "terminate").
void TerminateApplication();

// Forgets a seen WM_QUIT; for tests that end the loop more than once.
void ResetMessageLoopState();

// Sleeps `milliseconds` in slices of at most 100 ms, processing messages between
// them; returns early (false) when the program is quitting.
bool PumpingSleep(unsigned milliseconds);

}  // namespace tarnwick
