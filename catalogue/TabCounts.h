#pragma once

// The row counts of the two lists and the tab captions that show them.

#include <QLocale>
#include <QObject>
#include <QString>

#include <cstdint>

namespace catalogue {

enum TabIndex : int { TAB_ELIGIBLE = 0, TAB_INELIGIBLE = 1, TAB_EMBEDDED = 2 };

class TabCounts : public QObject {
    Q_OBJECT
public:
    // The locale gives the thousands separator of the captions.
    explicit TabCounts(const QLocale& locale = QLocale(), QObject* parent = nullptr);

    int32_t gEligibleSongs() const { return m_eligible; }
    int32_t gInEligibleSongs() const { return m_ineligible; }

    // Adds each nonzero delta to its count and rewrites that tab's caption;
    // a zero delta leaves its caption alone.
    void UpdateTabCounts(int32_t eligibleDelta, int32_t ineligibleDelta);
    // Both counts 0, both captions rewritten.
    void ResetTabCounts();
    // The eligible count 0 and its caption rewritten (the view filter's refill).
    void ResetEligibleCount();

    // The caption of tab 0 or 1 for its current count; empty for any other tab.
    QString Caption(int tab) const;
    static QString CaptionFor(int tab, int32_t count, const QLocale& locale);

Q_SIGNALS:
    void captionChanged(int tab, const QString& caption);

private:
    void announce(int tab);

    QLocale m_locale;
    int32_t m_eligible = 0;
    int32_t m_ineligible = 0;
};

} // namespace catalogue
