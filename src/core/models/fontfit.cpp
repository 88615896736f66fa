#include "fontfit.h"

#include <algorithm>
#include <map>

namespace app {
namespace {

bool fits(TextSize size, const Caption& caption)
{
    return size.width <= caption.width && size.height <= caption.height;
}

// The largest em height, at most `em`, at which the caption fits in the face; `smallest` if none.
int fittingEm(size_t face, int em, int smallest, const Caption& caption, const Measure& measure)
{
    const TextSize full = measure(face, em, caption.text);
    if (fits(full, caption))
        return em;
    // Text grows about in step with the em: start from the proportion, then go by pixels.
    const double scale
        = std::min(double(caption.width) / std::max(1, full.width), double(caption.height) / std::max(1, full.height));
    int guess = std::clamp(int(em * scale), smallest, std::max(smallest, em - 1));
    while (guess < em - 1 && fits(measure(face, guess + 1, caption.text), caption))
        ++guess;
    while (guess > smallest && !fits(measure(face, guess, caption.text), caption))
        --guess;
    return guess;
}

} // namespace

FontChoice chooseFonts(size_t faces, int em, int smallest, const std::vector<Caption>& captions, const Measure& measure)
{
    FontChoice best;
    int bestWorst = -1;
    for (size_t face = 0; face < faces && bestWorst * 6 < em * 5; ++face) {
        std::map<int, int> kinds; // em height by kind: the smallest its captions need
        for (const Caption& caption : captions)
            if (!caption.text.empty()) {
                const auto known = kinds.find(caption.kind);
                kinds[caption.kind]
                    = fittingEm(face, known == kinds.end() ? em : known->second, smallest, caption, measure);
            }
        int worst = em;
        for (const auto& [kind, size] : kinds)
            worst = std::min(worst, size);
        if (worst > bestWorst) {
            bestWorst = worst;
            best.face = face;
            best.ems.clear();
            for (const Caption& caption : captions)
                best.ems.push_back(caption.text.empty() ? em : kinds[caption.kind]);
        }
    }
    return best;
}

} // namespace app
