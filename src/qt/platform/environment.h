#pragma once

namespace platform {

// Adjusts the process environment before the application object is created.
// On a Wayland session with XWayland at hand, runs on X11, where a window can stay on top.
void prepareEnvironment();

} // namespace platform
