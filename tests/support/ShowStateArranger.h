#pragma once
// Sets up the show's state as a running show would have left it, for
// tests of the windows that only read it.
#include "slideshow/ShowRun.h"

namespace lumetta {

struct ShowStateArranger {
    static ShowState &show(ShowRun &run) { return run.show; }
};

} // namespace lumetta
