// The face positions of each grid layout.
#include "grid_layout.hpp"

#include <algorithm>
#include <cmath>
#include <deque>
#include <mutex>

#include "warnings.hpp"

namespace study {

namespace {

// The ratio between neighbouring cells on N cells of a family whose ratio
// is R on baseN cells: every halving takes its square root.
double RatioAt(const GridLayout& s, long N) {
    if (s.baseN <= 0 || N == s.baseN) return s.ratio;
    return std::pow(s.ratio, double(s.baseN) / double(N));
}

// Faces from relative widths w_1..w_N, scaled to L; the last face is L itself.
std::vector<double> FromWidths(const std::vector<double>& w, double L) {
    double total = 0;
    for (double v : w) total += v;
    std::vector<double> f(w.size() + 1, 0.0);
    double sum = 0;
    for (std::size_t i = 0; i < w.size(); ++i) {
        sum += w[i];
        f[i + 1] = L * (sum / total);
    }
    f.back() = L;
    return f;
}

bool Equal(const std::vector<double>& f, double L) {
    const double n = double(f.size() - 1), h = L / n;
    for (std::size_t i = 1; i < f.size(); ++i)
        if (std::fabs((f[i] - f[i - 1]) - h) > 1e-12 * L) return false;
    return true;
}

std::vector<double> Faces(const GridLayout& s, double L, long N) {
    std::vector<double> w(static_cast<std::size_t>(N));
    switch (s.kind) {
        case GridKind::Uniform: return {};
        case GridKind::Geometric: {
            // Widths R^(i-1), written from the small end so that no power
            // overflows where the large one would.
            const double r = RatioAt(s, N), logR = std::log(r);
            const double top = logR >= 0 ? double(N - 1) * logR : 0.0;
            for (long i = 0; i < N; ++i) w[std::size_t(i)] = std::exp(double(i) * logR - top);
            return FromWidths(w, L);
        }
        case GridKind::TwoSided: {
            const double logR = std::log(RatioAt(s, N));
            const double top = logR >= 0 ? double((N - 1) / 2) * logR : 0.0;
            for (long i = 0; i < N; ++i) w[std::size_t(i)] = std::exp(double(std::min(i, N - 1 - i)) * logR - top);
            return FromWidths(w, L);
        }
        case GridKind::Faces: {
            const long given = long(s.faces.size()) - 1;
            const long parts = given > 0 ? N / given : 0;
            std::vector<double> f;
            f.reserve(std::size_t(N + 1));
            for (long c = 0; c < given; ++c)
                for (long k = 0; k < parts; ++k) {
                    const double a = s.faces[std::size_t(c)], b = s.faces[std::size_t(c + 1)];
                    f.push_back(k == 0 ? a : a + (b - a) * (double(k) / double(parts)));
                }
            f.push_back(L);
            return f;
        }
    }
    return {};
}

}  // namespace

std::shared_ptr<const std::vector<double>> FacesOf(const GridLayout& layout, double L, long N) {
    if (layout.kind == GridKind::Uniform || N < 1) return nullptr;
    if (layout.kind != GridKind::Faces && layout.ratio == 1) return nullptr;
    // Every scheme of a study, its exact solution and its report ask for the
    // same grid: the last few made are kept.
    struct Made {
        GridLayout layout;
        double L;
        long N;
        std::shared_ptr<const std::vector<double>> faces;
    };
    static std::mutex lock;
    static std::deque<Made> recent;
    {
        const std::lock_guard<std::mutex> hold(lock);
        for (const Made& m : recent)
            if (m.N == N && m.L == L && m.layout == layout) return m.faces;
    }
    std::vector<double> f = Faces(layout, L, N);
    std::shared_ptr<const std::vector<double>> made;
    if (f.size() == std::size_t(N + 1) && !Equal(f, L)) made = std::make_shared<const std::vector<double>>(std::move(f));
    const std::lock_guard<std::mutex> hold(lock);
    recent.push_front({layout, L, N, made});
    if (recent.size() > 4) recent.pop_back();
    return made;
}

std::optional<std::string> GridFault(const GridLayout& layout, double L, long N) {
    if (layout.kind == GridKind::Uniform) return std::nullopt;
    if (layout.kind == GridKind::Faces) {
        const long given = long(layout.faces.size()) - 1;
        if (given < 1) return "a faces file needs at least two faces, 0 and L";
        if (N % given != 0 || ((N / given) & (N / given - 1)) != 0)
            return "the faces file has " + std::to_string(given) + " cells: N must be that times a power of two";
    } else if (!(layout.ratio > 0) || !std::isfinite(layout.ratio)) {
        return "the ratio must be above 0";
    }
    const auto f = FacesOf(layout, L, N);
    if (!f) return std::nullopt;
    double narrowest = L;
    for (std::size_t i = 1; i < f->size(); ++i) narrowest = std::min(narrowest, (*f)[i] - (*f)[i - 1]);
    if (!(narrowest >= 1e-12 * L))
        return "its narrowest cell at N = " + std::to_string(N) + " would be " + Short(narrowest) +
               ", below 1e-12 L: a ratio nearer 1 or fewer cells";
    return std::nullopt;
}

std::string GridText(const GridLayout& layout) {
    switch (layout.kind) {
        case GridKind::Uniform: return "uniform";
        case GridKind::Geometric: return "geometric:" + Short(layout.ratio);
        case GridKind::TwoSided: return "twosided:" + Short(layout.ratio);
        case GridKind::Faces: return "faces (" + std::to_string(long(layout.faces.size()) - 1) + " cells)";
    }
    return {};
}

}  // namespace study
