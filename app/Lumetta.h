#pragma once

namespace lumetta {

// The whole run: command line, single instance, windows, event loop.
int RunLumetta(int argc, char **argv);

} // namespace lumetta
