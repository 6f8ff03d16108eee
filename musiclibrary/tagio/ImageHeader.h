#pragma once

// The size of a picture as its file's header gives it, for the fields that
// FLAC and Vorbis comment picture blocks carry beside the image (players
// read them to choose a picture without decoding it). The engine links Qt
// Core only, so the headers are read here rather than through an image
// library; every length is checked before it is followed.

#include <QByteArray>

namespace musiclibrary::tagio {

struct ImageHeader {
    quint32 width = 0;
    quint32 height = 0;
    quint32 depth = 0;   // bits per pixel
    quint32 colours = 0; // palette entries, 0 for images without a palette
};

// Zeros when the header cannot be read: the fields are then "not known".
ImageHeader readImageHeader(const QByteArray& image);

} // namespace musiclibrary::tagio
