#include "artwork/CandidateImages.h"

#include <cmath>

namespace artwork {

void CandidateImages::add(const QString& path, bool isFile, int32_t xyprod, int32_t targetPixels) {
    const double side = std::sqrt(double(xyprod));
    CandidateImage image{path, isFile, side, std::fabs(side - double(targetPixels))};
    if (m_count >= capacity())
        m_storage.resize(size_t(m_count) + 1);
    m_storage[size_t(m_count)] = std::move(image);
    ++m_count;
}

int32_t CandidateImages::ClosestCandidate() const {
    int32_t best = -1;
    double bestDistance = 999999999999999.0;
    double bestSide = -1.0;
    for (int32_t i = 1; i <= m_count; ++i) {
        const CandidateImage& image = (*this)[i];
        const bool better =
            image.Distance < bestDistance ||
            (image.Distance == bestDistance && image.Side > bestSide) ||
            (image.Distance == bestDistance && image.Side == bestSide && !image.IsFile);
        if (better) {
            best = i;
            bestDistance = image.Distance;
            bestSide = image.Side;
        }
    }
    return best;
}

int32_t CandidateImages::SmallestCandidate() const {
    int32_t best = -1;
    double bestSide = 999999999999999.0;
    for (int32_t i = 1; i <= m_count; ++i) {
        const CandidateImage& image = (*this)[i];
        if (image.Side < bestSide || (image.Side == bestSide && !image.IsFile)) {
            best = i;
            bestSide = image.Side;
        }
    }
    return best;
}

int32_t CandidateImages::LargestCandidate() const {
    int32_t best = -1;
    double bestSide = -1.0;
    for (int32_t i = 1; i <= m_count; ++i) {
        const CandidateImage& image = (*this)[i];
        if (image.Side > bestSide || (image.Side == bestSide && !image.IsFile)) {
            best = i;
            bestSide = image.Side;
        }
    }
    return best;
}

} // namespace artwork
