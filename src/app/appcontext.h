#pragma once
#include "app/endpoints.h"
#include "app/programfolder.h"
#include "platform/platform.h"

namespace velanote {

// What every window is handed: the platform, the program folder and the addresses.
struct AppContext {
    Platform& platform;
    ProgramFolder folder;
    Endpoints endpoints;
};

} // namespace velanote
