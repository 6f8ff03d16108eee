#pragma once

// The target sizes the Embed Artwork and Delete Artwork wizards offer, the
// sizes read from their texts, and the remembered choice ("TargetSize").

#include <QString>
#include <QStringList>

#include <cstdint>

namespace artwork {

// "iPod nano (2007+) -- 320 x 320" ... "Other -- 480 x 480", in order.
const QStringList& TargetSizeEntries();

// The side length of an entry: the number after its first " x ", rounded;
// 0 when the entry has none.
int32_t TargetSideOfEntry(const QString& entry);
// The pixel area of an entry: after its first "--", the numbers on both
// sides of the first "x" multiplied ("320 x 320" gives 102400); 0 when the
// entry has no "--" or no "x".
int32_t TargetAreaOfEntry(const QString& entry);

// The position of the entry that equals stored after both are trimmed and
// lower-cased; -1 for an empty stored text or no match.
int TargetEntryIndex(const QStringList& entries, const QString& stored);

// The remembered entry text, and remembering one (trimmed).
QString LoadTargetSize();
void SaveTargetSize(const QString& entry);

// The leading number of text as a number reader that stops at the first
// character that cannot continue it reads it (blanks before it skipped);
// 0 when there is none.
double LeadingNumber(const QString& text);

} // namespace artwork
