#pragma once

// Pictures as ID3v2 "APIC" frames, shared by the file kinds that carry an
// ID3v2 tag (MPEG, AIFF, WAV). Each kind supplies a Host that knows how to
// open, check and save its own files; everything about frames lives here.

#include "musiclibrary/tagio/PictureContainer.h"

#include <QList>

#include <taglib/id3v2tag.h>
#include <taglib/tfile.h>
#include <taglib/tiostream.h>

#include <memory>

namespace musiclibrary::tagio {

class Id3v2Host {
public:
    virtual ~Id3v2Host() = default;
    virtual TagLib::File& file() = 0;
    // The file really is of this kind (isValid() alone says little).
    virtual bool usable() = 0;
    virtual TagLib::ID3v2::Tag* id3v2Tag() = 0; // created empty when missing
    virtual bool hasId3v2Tag() = 0;
    // The stored ID3v2 tag's bytes from its header on, empty when there is none.
    virtual QByteArray rawTag() = 0;
    // A reason that saving this file would lose data, empty when it is safe.
    virtual QString unsafeToSave() { return {}; }
    virtual bool save(TagLib::ID3v2::Version version) = 0;
    virtual AudioLayout layout() = 0;
    // Title, artist, album and track number into facts.
    virtual void readBasicTags(AudioFileFacts& facts);
    virtual QString kind() = 0;
    // The tag stands at the start of the file and nothing of the file
    // refers to positions after it (MPEG): a new tag can simply replace it.
    virtual bool tagAtStartAlone() { return false; }
};

class Id3v2Container : public PictureContainer {
public:
    AudioFileFacts readFacts(const QString& path, TagLib::IOStream* stream) const override;
    QList<Picture> readPictures(const QString& path) const override;
    Verifier applyEdit(const QString& path, const QString& copyPath,
                       const PictureEdit& edit) const override;
    std::optional<HeadRewrite> planHeadRewrite(const QString& path,
                                               const PictureEdit& edit) const override;

protected:
    // readProperties is never needed: nothing here depends on the audio.
    virtual std::unique_ptr<Id3v2Host> open(TagLib::IOStream* stream) const = 0;

private:
    AudioFileFacts verify(const QString& copyPath, const QList<QByteArray>& expectedPictures,
                          const QStringList& expectedOtherFrames, const AudioLayout& expectedLayout,
                          int expectedVersion) const;
};

} // namespace musiclibrary::tagio
