#pragma once

// Writing a change that is a new tag at the start of a file, as cheaply as
// safety allows: in place under the rollback journal when the new tag fits
// where the old one was, else a new version of the file made in one pass
// (the new tag, generous padding for the next change, then the rest copied
// by the kernel) and renamed over the old one once it is flushed. Either
// way the file ends unchanged or completely changed.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/tagio/PictureContainer.h"

#include <sys/stat.h>

namespace musiclibrary {

// seen: the file as it was when plan was made; a file changed since is
// refused. Throws FileFailure.
AudioFileFacts writeHeadRewrite(const QString& path, const tagio::HeadRewrite& plan,
                                const struct stat& seen);

// The padding a rewritten tag gets: room for another picture as large as
// the largest it holds, within bounds, so that the next change fits.
qint64 generousPadding(const QByteArray& tag);

// Tests only: where an in-place write stops as if it had been killed
// (none, after the journal is written, after the song is written), or that
// undoing a failed write fails as well.
enum class InPlaceStop { None, AfterJournal, AfterSong, UndoFails };
void stopInPlaceWriteForTesting(InPlaceStop stop);

} // namespace musiclibrary
