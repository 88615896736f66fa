#pragma once

// Putting a face where the person was typing: the window that was in front before Nikomaru gets
// the focus back and the face typed into it.

#include <windows.h>

#include <string_view>

namespace pasteinto {

// One of this program's windows was activated or left: `other` is the window it was left for or
// came from, when the system tells.
void activated(HWND other);
void left(HWND other);

// Brings back the window that was in front before this program's and types the face into it as
// Unicode characters, no keyboard layout involved. Does nothing when no other window was in
// front since the program started, or it has gone. Elevated programs cannot be typed into.
void typeIntoPrevious(std::u16string_view face);

} // namespace pasteinto
