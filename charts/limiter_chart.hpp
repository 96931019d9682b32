// Sweby's diagram: psi(r) of the bounded schemes' limiters for 0 <= r <= 3,
// over the second-order TVD region (between min-mod and SUPERBEE), with the
// TVD bounds psi = 2r and psi = 2 and the linear schemes as reference
// lines; on it, the (r, psi) point of every limited face of a solution.
// convdiff-study exports it; the comparison window shows it.
#pragma once

#include <QChart>
#include <QScatterSeries>
#include <QString>
#include <QValueAxis>
#include <map>
#include <vector>

#include "study/tvd.hpp"

namespace charts {

class LimiterChart : public QChart {
public:
    LimiterChart();
    // The curves of `limiters`, in that order; faces shown before are
    // removed.
    void Show(const std::vector<study::Limiter>& limiters);
    // The faces of a solution of limiter `l` as a series named after the
    // limiter (its title, in the limiter's colour, out of the legend, where
    // its curve stands for it), replacing that limiter's faces shown before.
    // Point k of the series is faces[k]. Faces whose r lies beyond the axis
    // are in the series but out of sight.
    QScatterSeries* ShowFaces(study::Limiter l, const std::vector<study::Face>& faces);
    // The faces series of `l`, or null.
    QScatterSeries* FacesOf(study::Limiter l) const;
    void ClearFaces();

    // How far the r axis reaches.
    static constexpr double kMostR = 3.0;

private:
    QValueAxis* r_;
    QValueAxis* psi_;
    std::vector<QAbstractSeries*> curves_;
    std::map<study::Limiter, QScatterSeries*> faces_;
};

// What hovering a face says: "x = 0.45 m, r = 1.25, ψ = 1.11".
QString FaceText(const study::Face& f);

}  // namespace charts
