#pragma once
// Builds and owns what fetches and shows the webcams: the HTTP client, the
// image fetch, debug.log, the slide show and the tick log.
#include "app/PageContext.h"
#include "slideshow/Sequencer.h"
#include "slideshow/ShowDisplay.h"

#include <functional>
#include <memory>

namespace lumetta {

class DebugLog;
class ImageFetch;
class SlideShow;
class THttpCli;
class TickLog;
struct FetchSettings;

class DownloadEngine {
public:
    // The record the editor shows, what follows a record the show rewrote,
    // and what follows a webcam's fetch starting and ending.
    struct Hooks {
        std::function<QString()> editorRecord;
        std::function<void(int index)> recordChanged;
        std::function<void(bool running)> fetchRunning;
    };

    DownloadEngine(const PageContext &context, Hooks hooks);
    ~DownloadEngine();

    // Once the program folder is known.
    void create();
    void setShowDisplay(ShowDisplay &display);
    ShowDisplay &display() { return *m_display; }
    SlideShow *slideShow() { return m_slideShow.get(); }
    ImageFetch &fetch() { return *m_fetch; }
    // The slide-show and refresh controls as they stand now.
    ShowSettings showSettings() const;
    // A webcam's picture is on its way: the client serves no other.
    bool fetchRunning() const { return m_fetchesRunning > 0; }

private:
    FetchSettings fetchSettings() const;

    PageContext m_ctx;
    Hooks m_hooks;
    std::unique_ptr<THttpCli> m_http;
    std::unique_ptr<DebugLog> m_debugLog;
    std::unique_ptr<ImageFetch> m_fetch;
    NullShowDisplay m_standInDisplay;
    ShowDisplay *m_display = &m_standInDisplay;
    std::unique_ptr<SlideShow> m_slideShow;
    std::unique_ptr<TickLog> m_tickLog;
    int m_fetchesRunning = 0;  // a refused one may run inside another's wait
};

} // namespace lumetta
