// handle_registry.h — the one counter behind every handle of this library (drawing
// objects, modules, windows, application objects), so no two objects ever share a number
// and no number is reused.  Internal to the platform library.
#pragma once

#include "platform/handles.h"

namespace platform {

// A new handle number; 0 only after four billion handles.
Handle NewHandle();

}  // namespace platform
