#pragma once

#include "window.h"

// Lets a face of the list be dragged out into another program as plain text, copy only.
void enableDragOut(const FaceListBox& list, HWND listBox);
