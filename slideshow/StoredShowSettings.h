#pragma once
// The show's options as the store holds them. The window's controls write
// each change at once, so a show reads them here and a screen-saver run
// needs no form. What only the run knows (the selection, the categories
// ticked, whether another show fetches) the caller adds.
#include "download/ImageFetch.h"
#include "slideshow/DisplaySettings.h"
#include "slideshow/Sequencer.h"

namespace lumetta {

// programFolder ends with a separator; the download folder defaults below it.
ShowSettings ReadShowSettings(const QString &programFolder);
DisplaySettings ReadDisplaySettings();
FetchSettings ReadFetchSettings();

} // namespace lumetta
