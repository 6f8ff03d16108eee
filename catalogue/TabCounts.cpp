#include "catalogue/TabCounts.h"

#include <QMetaMethod>

using namespace Qt::StringLiterals;

namespace catalogue {

TabCounts::TabCounts(const QLocale& locale, QObject* parent) : QObject(parent), m_locale(locale) {}

QString TabCounts::CaptionFor(int tab, int32_t count, const QLocale& locale) {
    // "#,##0": thousands always grouped by the locale's separator, also in
    // locales such as C whose default is to leave them ungrouped.
    QLocale grouped = locale;
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    const QString number = grouped.toString(count);
    switch (tab) {
    case TAB_ELIGIBLE:
        return u"Eligi&ble Songs ("_s + number + u')';
    case TAB_INELIGIBLE:
        return u"Ineligible S&ongs ("_s + number + u')';
    default:
        return {};
    }
}

QString TabCounts::Caption(int tab) const {
    return CaptionFor(tab, tab == TAB_ELIGIBLE ? m_eligible : m_ineligible, m_locale);
}

void TabCounts::announce(int tab) {
    // The scan counts every song: without a window listening, the caption
    // text is not worth formatting.
    static const QMetaMethod signal = QMetaMethod::fromSignal(&TabCounts::captionChanged);
    if (isSignalConnected(signal))
        Q_EMIT captionChanged(tab, Caption(tab));
}

void TabCounts::UpdateTabCounts(int32_t eligibleDelta, int32_t ineligibleDelta) {
    if (eligibleDelta != 0) {
        m_eligible += eligibleDelta;
        announce(TAB_ELIGIBLE);
    }
    if (ineligibleDelta != 0) {
        m_ineligible += ineligibleDelta;
        announce(TAB_INELIGIBLE);
    }
}

void TabCounts::ResetTabCounts() {
    m_eligible = 0;
    m_ineligible = 0;
    announce(TAB_ELIGIBLE);
    announce(TAB_INELIGIBLE);
}

void TabCounts::ResetEligibleCount() {
    m_eligible = 0;
    announce(TAB_ELIGIBLE);
}

} // namespace catalogue
