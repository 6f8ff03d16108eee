#include "mainwindow/TrackDetailsText.h"

#include "catalogue/PathOps.h"

using namespace Qt::StringLiterals;

namespace mainwindow {

QString SplitPathForLabel(const QString& path) {
    return catalogue::PathForDisplay(path);
}

QString ImageSizeText(qint64 bytes, const QLocale& locale) {
    QLocale grouped = locale;
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    const QString number = bytes == 0 ? QString() : grouped.toString(bytes);
    return number + u" bytes"_s;
}

QString MissingFileSizeText() {
    return u"(file not found)"_s;
}

QString DimensionsText(int width, int height) {
    return u"%1 x %2"_s.arg(width).arg(height);
}

QString RemoveBracketGroup(QString text, QChar open, QChar close) {
    for (;;) {
        const QString before = text;
        const qsizetype openAt = text.indexOf(open);
        if (openAt >= 0) {
            const qsizetype closeAt = text.indexOf(close, openAt);
            if (closeAt >= 0)
                text = text.left(openAt) + text.mid(closeAt + 1);
        }
        text = text.trimmed();
        if (text == before)
            return text;
    }
}

QString StripBracketGroups(const QString& text) {
    QString stripped = RemoveBracketGroup(text, u'(', u')');
    stripped = RemoveBracketGroup(stripped, u'[', u']');
    stripped = RemoveBracketGroup(stripped, u'{', u'}');
    return stripped.trimmed();
}

QString ClipboardFieldsText(const ClipboardFields& fields) {
    QString text;
    const auto append = [&text](bool included, const QString& value, bool blankAfter) {
        if (!included || value.isEmpty())
            return;
        const QString stripped = StripBracketGroups(value);
        if (stripped.isEmpty())
            return;
        text += u'"' + stripped + u'"';
        if (blankAfter)
            text += u' ';
    };
    append(fields.includeArtist, fields.artist, true);
    append(fields.includeAlbum, fields.album, true);
    append(fields.includeSong, fields.song, false);
    return text.trimmed();
}

QString EmbeddedCaption(int count) {
    return count < 2 ? u"Embedded"_s : u"Embedded (%1)"_s.arg(count);
}

QString OtherFileCaption(int count) {
    return count < 2 ? u"Other file"_s : u"Other file (%1)"_s.arg(count);
}

} // namespace mainwindow
