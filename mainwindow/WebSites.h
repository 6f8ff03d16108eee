#pragma once

// The web sites that the details panel offers for finding cover art. Only
// the site's page is opened; the song's fields go to the clipboard, to be
// pasted into the site's own search field.

#include <QString>

#include <cstdint>
#include <vector>

namespace mainwindow {

struct WebSite {
    int16_t id = 0;
    int16_t position = 0;
    QString displayName;
    QString address;
};

// The four sites in the order the list shows them.
const std::vector<WebSite>& WebSiteTable();

// The site with that id, or nullptr.
const WebSite* WebSiteById(int id);

} // namespace mainwindow
