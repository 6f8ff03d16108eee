#pragma once

// The texts of the track details panel, worked out apart from its widgets:
// the path and size labels, and the song's fields for the clipboard.

#include <QLocale>
#include <QString>

#include <cstdint>

namespace mainwindow {

// The path with one blank after its last "/", so that the label can break
// the line before the file name; a path without "/" stays as it is.
QString SplitPathForLabel(const QString& path);

// The size label: the length with thousands separators and no decimals,
// then " bytes" ("123,456 bytes"); 0 gives " bytes", as the number format
// writes nothing for zero.
QString ImageSizeText(qint64 bytes, const QLocale& locale = QLocale());
// The size label of an image file that is gone since the scan.
QString MissingFileSizeText();

// The dimensions label: "640 x 480".
QString DimensionsText(int width, int height);

// Removes groups from open to the first close after it, as long as there
// are any, trimming in every round. An open without a later close, and a
// close without an open before it, are left alone.
QString RemoveBracketGroup(QString text, QChar open, QChar close);
// "(...)", then "[...]", then "{...}" groups removed, then trimmed.
QString StripBracketGroups(const QString& text);

// What goes on the clipboard: each included, non-empty field without its
// bracket groups, in double quotes, in the order artist, album, song name,
// separated by one blank. Empty when nothing is left.
struct ClipboardFields {
    QString artist;
    QString album;
    QString song;
    bool includeArtist = true;
    bool includeAlbum = true;
    bool includeSong = false;
};
QString ClipboardFieldsText(const ClipboardFields& fields);

// The captions of the Embedded and Other file options, with the count when
// there are two or more images to choose from.
QString EmbeddedCaption(int count);
QString OtherFileCaption(int count);

} // namespace mainwindow
