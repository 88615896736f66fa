// Windows and macOS: the native platform keeps windows on top by itself.
#include "environment.h"

namespace platform {

void prepareEnvironment()
{
}

} // namespace platform
