#pragma once

// What the main window tells the details panel below the song lists. The
// panel widget implements it; until the full panel exists, a plain stand-in
// keeps its place in the window and remembers what it was told.

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

class TrackDetailsPlaceholder : public QWidget, public TrackDetailsView {
    Q_OBJECT
public:
    explicit TrackDetailsPlaceholder(QWidget* parent = nullptr);

    void setArrIndex(int32_t index) override { m_arrIndex = index; }
    void setTrack(const musiclibrary::TrackPtr& track) override { m_track = track; }
    int DetailsTab() const override { return m_detailsTab; }
    void setDetailsTab(int tab) override { m_detailsTab = tab; }
    QWidget* widget() override { return this; }

    int32_t ArrIndex() const { return m_arrIndex; }
    const musiclibrary::TrackPtr& Track() const { return m_track; }

private:
    int32_t m_arrIndex = 0;
    musiclibrary::TrackPtr m_track;
    int m_detailsTab = 0;
};

} // namespace mainwindow
