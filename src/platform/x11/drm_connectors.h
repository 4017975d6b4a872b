// The DRM connectors serve every backend now; this name stays for the X11 files.
#pragma once

#include "platform/drm_connectors.h"
