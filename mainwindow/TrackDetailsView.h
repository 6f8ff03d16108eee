#pragma once

// What the main window tells the details panel below the song lists; the
// window needs no more of the panel than this.

#include "musiclibrary/ITunes.h"

#include <QWidget>

#include <cstdint>

namespace mainwindow {

class TrackDetailsView {
public:
    virtual ~TrackDetailsView() = default;
    // The catalogue index of the song about to be shown; set before the track.
    virtual void setArrIndex(int32_t index) = 0;
    // The song shown, or none; setting it refreshes the panel.
    virtual void setTrack(const musiclibrary::TrackPtr& track) = 0;
    // The panel's page in front: 0 "Song Details", 1 "Web".
    virtual int DetailsTab() const = 0;
    virtual void setDetailsTab(int tab) = 0;
    virtual QWidget* widget() = 0;
};

} // namespace mainwindow
