#pragma once
// A webcam record as the slide show and the download driver read it, with
// their defaults, and the refresh adaptation that learns from each
// download how fast the webcam really refreshes. Plain functions of the
// record, the settings and "now".
#include "catalogue/CamRecord.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace lumetta {

// The refresh-policy settings as the controls stand when a download ends.
struct RefreshPolicy {
    TDateTime minRefresh = 5 * OneSecond;     // dtMinRefreshRate
    TDateTime maxRefresh = 3.0 / 24;          // dtMaxRefreshRate
    bool slowCam = true;
    int slowDays = 1;
    TDateTime slowInterval = 0.5;             // 12:00:00
    bool inactiveCam = true;
    int inactiveDays = 3;
    bool checkDisabledCams = false;
    int checkDisabledDays = 1;
    int displaySeconds = 10;                  // SSInterval
};

struct CamSchedule {
    CamRecord record;  // the fields as stored
    QString siteName;  // the image URL when the name is empty
    QString imageUrl;
    TDateTime refreshRate = 0;
    TDateTime startTime = 0;
    TDateTime endTime = 0;
    TDateTime lastDownloadTime = 0;  // read no later than now, as is lastModified
    TDateTime lastModified = 0;
    // A stored time lay ahead of now: the clock went back since it was
    // written, and the record's times tell nothing of when it is due.
    bool clockWentBack = false;
    bool enabled = true;
    int autoAdjust = 1;  // 0 fixed, 1 adaptive, 2 adaptive without a usable "Last-Modified"
    bool showLastImage = false;
    QString localFilename;  // empty when the record's is not a bare file name
};

// Unreadable times read as a new webcam's; unreadable or impossible dates
// as never; a missing or non-numeric enabled or auto-adjust flag as 1.
CamSchedule ReadCamSchedule(const QString &line, TDateTime now);

// The thirteen fields after a download attempt at "now".
QString CamScheduleLine(const CamSchedule &cam, TDateTime now);

// Whole seconds of an interval, as the display time is compared with it.
int WholeSeconds(TDateTime interval);

struct Adaptation {
    TDateTime refreshRate = 0;
    TDateTime lastModified = 0;
    int autoAdjust = 1;
    bool disable = false;  // the inactive rule struck
    TDateTime retryAfter = 0;  // not to be fetched again before this span; 0: as its interval says
};

// No new picture: an adaptive webcam's interval widens to the picture's age.
// failed: the reply was no answer to keep (too large, cut, not a picture,
// a network error), not the picture already held. A fixed interval stays,
// as an advertisement asks, but a failed reply is not asked for again
// before the picture's age (within the minimum and maximum interval) has
// passed once more: a webcam that fails every time is asked ever less often
// instead of once a tick.
Adaptation AdaptWithoutNewPicture(const CamSchedule &cam, const RefreshPolicy &policy, TDateTime now,
                                  bool failed = false);

// A new picture, with the response's "Date" and "Last-Modified" values
// (empty when absent). biasMinutes: the local zone for reading them.
Adaptation AdaptToNewPicture(const CamSchedule &cam, const RefreshPolicy &policy, TDateTime now,
                             const QString &dateValue, const QString &lastModifiedValue, int biasMinutes);

// A fetch that failed before reaching any server (no name, no route,
// refused) says nothing about its webcam while no server answers at all:
// the computer is offline or its network not up yet. Only while other
// servers answer does such a failure count against the webcam. Times are
// Clock::monotonicMs(): a wall clock set back would stretch the window.
class ServerReach {
public:
    static constexpr qint64 WindowMs = 5 * 60 * 1000;
    void reached(qint64 monotonicMs) { m_lastReached = monotonicMs; }
    bool judgesWebcam(bool reachedServer, qint64 monotonicMs) const
    {
        return reachedServer || (m_lastReached && monotonicMs - *m_lastReached <= WindowMs);
    }

private:
    std::optional<qint64> m_lastReached;
};

// The advertisement headers of a new picture.
struct AdHeaders {
    bool camAd = false;
    bool camAdultAd = false;
    QString link;
    QString message;
};
AdHeaders ReadAdHeaders(const QStringList &header);

// The header lines of the last response: after a relocation the received
// header holds every response's lines, and a "Date" of each.
QStringList FinalResponseHeader(const QStringList &header);

// The webcam's image URL after a new picture: a permanent relocation (301,
// 308) from a JPEG URL to another JPEG URL is followed for good, the
// credentials kept while it stays on the webcam's origin.
QString RelocatedImageUrl(const QString &imageUrl, const QStringList &header);

} // namespace lumetta
