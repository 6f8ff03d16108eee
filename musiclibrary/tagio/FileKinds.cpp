#include "musiclibrary/tagio/FileKinds.h"

#include <QStringView>

#include <array>

using namespace Qt::StringLiterals;

namespace musiclibrary::tagio {

namespace {

struct SuffixKind {
    const char16_t* suffix;
    const char16_t* kind;
    bool takesPictures = false;
};

constexpr std::array suffixKinds{
    SuffixKind{u"mp3", KindMpeg, true},
    SuffixKind{u"mp2", KindMpeg},
    SuffixKind{u"mpga", KindMpeg},
    SuffixKind{u"m4a", KindAac, true},
    SuffixKind{u"m4b", KindAac},
    SuffixKind{u"mp4", KindAac},
    SuffixKind{u"aac", KindAac, true},
    SuffixKind{u"m4p", KindProtectedAac, true},
    SuffixKind{u"aif", KindAiff},
    SuffixKind{u"aiff", KindAiff, true},
    SuffixKind{u"aifc", KindAiff},
    SuffixKind{u"wav", KindWav},
    SuffixKind{u"ogg", KindOggVorbis, true},
    SuffixKind{u"oga", KindOggVorbis, true},
    SuffixKind{u"opus", KindOpus, true},
    SuffixKind{u"flac", KindFlac, true},
    SuffixKind{u"wma", u"Windows Media audio file"},
    SuffixKind{u"ape", u"Monkey's Audio file"},
    SuffixKind{u"wv", u"WavPack audio file"},
    SuffixKind{u"mpc", u"Musepack audio file"},
};

// A song of one of these kinds takes pictures whatever its extension.
constexpr std::array kindsTakingPictures{KindMpeg, KindAac,  KindAppleLossless, KindProtectedAac,
                                         KindAiff, KindFlac, KindOggVorbis,     KindOpus};

} // namespace

// What QFileInfo::suffix() answers, without building a QFileInfo for every
// file of a library.
QString suffixOf(const QString& path) {
    const QStringView name = QStringView(path).mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1).toString().toLower();
}

bool suffixTakesPictures(const QString& suffix) {
    for (const SuffixKind& entry : suffixKinds) {
        if (suffix.compare(QStringView(entry.suffix), Qt::CaseInsensitive) == 0)
            return entry.takesPictures;
    }
    return false;
}

bool kindTakesPictures(const QString& kind) {
    const QString trimmed = kind.trimmed();
    for (const char16_t* entry : kindsTakingPictures) {
        if (trimmed.compare(QStringView(entry), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString kindForSuffix(const QString& suffix) {
    for (const SuffixKind& entry : suffixKinds) {
        if (suffix == QStringView(entry.suffix))
            return QString::fromUtf16(entry.kind);
    }
    return {};
}

} // namespace musiclibrary::tagio
