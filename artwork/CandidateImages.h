#pragma once

// The measured images among which the size rules choose: the song's own
// images first, then the image files of its folder.

#include <QString>

#include <cstdint>
#include <vector>

namespace artwork {

struct CandidateImage {
    // A full path for a folder file; for one of the song's own images its
    // 1-based position in the song's artwork, as decimal digits.
    QString Path;
    bool IsFile = false;
    double Side = 0;     // square root of width x height
    double Distance = 0; // |Side - target|
};

// A 1-based list that describes the song last examined. Clearing keeps the
// storage; adding grows it to exactly the new count when it is full.
class CandidateImages {
public:
    void clear() { m_count = 0; }
    // Adds an image of pixel area xyprod measured against targetPixels.
    void add(const QString& path, bool isFile, int32_t xyprod, int32_t targetPixels);
    int32_t count() const { return m_count; }
    int32_t capacity() const { return int32_t(m_storage.size()); }
    const CandidateImage& operator[](int32_t index) const { return m_storage[size_t(index - 1)]; }

    // 1-based index of the choice, -1 for an empty list. Among exact ties an
    // earlier folder file keeps its place against later folder files, while
    // a later image of the song's own replaces whatever tied before it.
    int32_t ClosestCandidate() const;
    int32_t SmallestCandidate() const;
    int32_t LargestCandidate() const;

private:
    std::vector<CandidateImage> m_storage;
    int32_t m_count = 0;
};

} // namespace artwork
