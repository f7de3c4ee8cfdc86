// Acting as a user in tests, with real toolkit events delivered to the controls' widgets on
// Qt's offscreen platform. A control the user couldn't reach (hidden, disabled, outside the
// window) doesn't react, just as for a real user.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include "host/controls.h"
#include "host/window.h"

namespace test_support {

// Selects the offscreen platform unless QT_QPA_PLATFORM says otherwise, then starts the
// runtime. Call first in a test program's main.
void StartHeadlessRuntime();

// Clicks the button with the mouse.
void ClickButton(host::PushButton& button);

// Opens the menu with the mouse and clicks the row. False when the menu didn't open (the
// menu is disabled or hidden) or has no such row.
bool ChoosePopupRow(host::PopupMenu& menu, int row);

// Runs the event loop for that long: timers tick, queued work runs.
void ProcessEventsFor(std::chrono::milliseconds duration);

// Runs the event loop until the predicate holds or the timeout passes; answers whether it
// held.
bool WaitUntil(const std::function<bool()>& predicate,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Forgets a reported unhandled exception, so that later tests run their handlers again.
void ForgetUnhandledException();

}  // namespace test_support
