#pragma once

class QListWidget;

namespace platform {

// Makes the list scrollable sideways over a fixed width in pixels, whatever its items' widths,
// as a Windows list box with that horizontal extent. Also sets the list up for large lists.
void setHorizontalExtent(QListWidget& list, int pixels);

} // namespace platform
