#include "artwork/TargetSizes.h"

#include "support/Registry.h"
#include "support/RegistryKeys.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace artwork {

const QStringList& TargetSizeEntries() {
    static const QStringList entries{
        u"iPod nano (2007+) -- 320 x 320"_s,
        u"iPod classic (2007+) -- 320 x 320"_s,
        u"iPod touch (2007+) -- 320 x 320"_s,
        u"iPhone (2007+) -- 320 x 320"_s,
        u"iPod video/5G (2005) -- 200 x 200"_s,
        u"iPod color/photo (2004) -- 140 x 140"_s,
        u"iPod nano 2G (2006) -- 100 x 100"_s,
        u"AppleTV -- 600 x 600"_s,
        u"Other -- 480 x 480"_s,
    };
    return entries;
}

double LeadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    bool digits = false;
    while (i < text.size() && text[i].isDigit()) {
        ++i;
        digits = true;
    }
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && text[i].isDigit()) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return 0;
    bool ok = false;
    const double value = QStringView(text).mid(start, i - start).toDouble(&ok);
    return ok ? value : 0;
}

namespace {

int32_t toInt32(double value) {
    const double rounded = std::nearbyint(value);
    if (!std::isfinite(rounded) || rounded > std::numeric_limits<int32_t>::max() ||
        rounded < std::numeric_limits<int32_t>::min())
        return 0;
    return int32_t(rounded);
}

} // namespace

int32_t TargetSideOfEntry(const QString& entry) {
    const qsizetype at = entry.indexOf(u" x "_s);
    if (at < 0)
        return 0;
    return toInt32(LeadingNumber(entry.mid(at + 2)));
}

int32_t TargetAreaOfEntry(const QString& entry) {
    const qsizetype dashes = entry.indexOf(u"--"_s);
    if (dashes < 0)
        return 0;
    const QString size = entry.mid(dashes + 2);
    const qsizetype x = size.indexOf(u'x');
    if (x < 0)
        return 0;
    return toInt32(LeadingNumber(size.left(x).trimmed()) *
                   LeadingNumber(size.mid(x + 1).trimmed()));
}

int TargetEntryIndex(const QStringList& entries, const QString& stored) {
    const QString wanted = stored.trimmed().toLower();
    if (wanted.isEmpty())
        return -1;
    for (qsizetype i = 0; i < entries.size(); ++i)
        if (entries[i].trimmed().toLower() == wanted)
            return int(i);
    return -1;
}

QString LoadTargetSize() {
    return support::RegGetString(support::Hive::CurrentUser, support::KEY_QUILLMOTH,
                                 support::VALUE_TARGET_SIZE);
}

void SaveTargetSize(const QString& entry) {
    support::RegSetString(support::Hive::CurrentUser, support::KEY_QUILLMOTH,
                          support::VALUE_TARGET_SIZE, entry.trimmed());
}

} // namespace artwork
