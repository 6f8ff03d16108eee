#include "mainwindow/WebSites.h"

using namespace Qt::StringLiterals;

namespace mainwindow {

const std::vector<WebSite>& WebSiteTable() {
    static const std::vector<WebSite> table = {
        {1, 0, u"Amazon"_s, u"https://www.amazon.com/"_s},
        {2, 1, u"Discogs"_s, u"https://www.discogs.com/"_s},
        {3, 2, u"allmusic"_s, u"https://www.allmusic.com/"_s},
        {4, 3, u"Wal-Mart"_s, u"https://www.walmart.com/browse/music/4104"_s},
    };
    return table;
}

const WebSite* WebSiteById(int id) {
    for (const WebSite& site : WebSiteTable()) {
        if (site.id == id)
            return &site;
    }
    return nullptr;
}

} // namespace mainwindow
