#pragma once

// Putting a face where the person was typing: the window that was active before Nikomaru gets
// the focus back and the clipboard pasted into it. One implementation per system.
namespace platform {

// Starts following which window is active, where the system lets a program see it (X11,
// XWayland); elsewhere nothing.
void followActiveWindow();

// Brings back the window that was active before this program's and pastes the clipboard into it
// with its paste key. Does nothing when no other program's window was active since this one
// started, or it has gone: never into a window chosen by chance.
void pasteIntoPrevious();

} // namespace platform
