// The Limiters tab's sample of the limited faces.
#include "face_sample.hpp"

#include <algorithm>

namespace compare {

std::vector<study::Face> FacesShown(const std::vector<study::Face>& faces, double mostR) {
    if (faces.size() <= kMostFacesShown) return faces;
    constexpr std::size_t kExtremes = 4;
    constexpr std::size_t kStretches = (kMostFacesShown - kExtremes) / 2;
    constexpr std::size_t kNone = std::size_t(-1);
    // Each stretch's lowest and highest psi, as face numbers.
    std::vector<std::size_t> low(kStretches, kNone), high(kStretches, kNone);
    std::size_t lowR = kNone, highR = kNone, lowPsi = kNone, highPsi = kNone;
    for (std::size_t k = 0; k < faces.size(); ++k) {
        const study::Face& f = faces[k];
        if (!(f.r >= 0 && f.r <= mostR)) continue;  // out of sight
        if (lowR == kNone || f.r < faces[lowR].r) lowR = k;
        if (highR == kNone || f.r > faces[highR].r) highR = k;
        if (lowPsi == kNone || f.psi < faces[lowPsi].psi) lowPsi = k;
        if (highPsi == kNone || f.psi > faces[highPsi].psi) highPsi = k;
        const std::size_t s = std::min(kStretches - 1, std::size_t(f.r / mostR * double(kStretches)));
        if (low[s] == kNone || f.psi < faces[low[s]].psi) low[s] = k;
        if (high[s] == kNone || f.psi > faces[high[s]].psi) high[s] = k;
    }
    std::vector<std::size_t> kept;
    for (std::size_t k : {lowR, highR, lowPsi, highPsi})
        if (k != kNone) kept.push_back(k);
    for (std::size_t s = 0; s < kStretches; ++s)
        if (low[s] != kNone) kept.insert(kept.end(), {low[s], high[s]});
    std::sort(kept.begin(), kept.end());
    kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
    std::vector<study::Face> shown;
    shown.reserve(kept.size());
    for (std::size_t k : kept) shown.push_back(faces[k]);
    return shown;
}

}  // namespace compare
