#pragma once

#include <QStringList>

// The faces behind one list box, in order. A face never holds CR or LF and may be empty.
using FaceList = QStringList;

namespace faces {

// Counts and indices of a list are 16-bit signed values.
inline constexpr int kMaxFaces = 32767;

} // namespace faces
