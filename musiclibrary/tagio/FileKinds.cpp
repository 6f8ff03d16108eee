#include "musiclibrary/tagio/FileKinds.h"

#include <QStringView>

#include <array>

using namespace Qt::StringLiterals;

namespace musiclibrary::tagio {

namespace {

struct SuffixKind {
    const char16_t* suffix;
    const char16_t* kind;
};

constexpr std::array suffixKinds{
    SuffixKind{u"mp3", KindMpeg},
    SuffixKind{u"mp2", KindMpeg},
    SuffixKind{u"mpga", KindMpeg},
    SuffixKind{u"m4a", KindAac},
    SuffixKind{u"m4b", KindAac},
    SuffixKind{u"mp4", KindAac},
    SuffixKind{u"aac", KindAac},
    SuffixKind{u"m4p", KindProtectedAac},
    SuffixKind{u"aif", KindAiff},
    SuffixKind{u"aiff", KindAiff},
    SuffixKind{u"aifc", KindAiff},
    SuffixKind{u"wav", KindWav},
    SuffixKind{u"ogg", u"Ogg Vorbis file"},
    SuffixKind{u"oga", u"Ogg Vorbis file"},
    SuffixKind{u"opus", u"Opus audio file"},
    SuffixKind{u"flac", u"FLAC audio file"},
    SuffixKind{u"wma", u"Windows Media audio file"},
    SuffixKind{u"ape", u"Monkey's Audio file"},
    SuffixKind{u"wv", u"WavPack audio file"},
    SuffixKind{u"mpc", u"Musepack audio file"},
};

} // namespace

// What QFileInfo::suffix() answers, without building a QFileInfo for every
// file of a library.
QString suffixOf(const QString& path) {
    const QStringView name = QStringView(path).mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1).toString().toLower();
}

QString kindForSuffix(const QString& suffix) {
    for (const SuffixKind& entry : suffixKinds) {
        if (suffix == QStringView(entry.suffix))
            return QString::fromUtf16(entry.kind);
    }
    return {};
}

} // namespace musiclibrary::tagio
