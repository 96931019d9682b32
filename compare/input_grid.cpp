// The input panel's grid: the choice of how the cells are laid out, its
// ratio on the same row, and the reading of the ratio for N cells and for
// the finer grids of the Convergence tab.
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <cmath>

#include "input_panel.hpp"
#include "refinement.hpp"
#include "screen_fit.hpp"
#include "study/numbers.hpp"

namespace compare {

namespace {

// The choice's items, in the order of their kinds.
constexpr const char* kGrids[] = {"Uniform", "Geometric", "Two-sided"};
constexpr study::GridKind kGridKinds[] = {study::GridKind::Uniform, study::GridKind::Geometric,
                                          study::GridKind::TwoSided};
const char* const kGridTip =
    "Uniform: equal cells. Geometric: each cell R times the one to its left (R < 1 packs the cells towards "
    "x = L). Two-sided: the cells grow by R from both ends to the middle.";
const char* const kRatioTip =
    "R, the ratio of neighbouring cells at this N; each doubling of N for the Convergence tab takes its square "
    "root, so that the finer grids split every cell in two.";

}  // namespace

// The layout and its ratio share a row, to keep the column short.
void InputPanel::BuildGrid() {
    grid_ = new QComboBox;
    grid_->setObjectName(kGridName);
    grid_->setAccessibleName("Grid: how the control volumes are laid out");
    for (const char* g : kGrids) grid_->addItem(g);
    grid_->setToolTip(QString::fromUtf8(kGridTip));
    ratio_ = new QLineEdit("1");
    ratio_->setObjectName(kRatioName);
    ratio_->setAccessibleName("R, the ratio of neighbouring cells");
    ratio_->setProperty("title", "Ratio R");
    ratio_->setProperty("plainTip", QString::fromUtf8(kRatioTip));
    ratio_->setToolTip(QString::fromUtf8(kRatioTip));
    ratio_->setMaximumWidth(0);  // no wider than its longest number
    WidenFor(ratio_);
    connect(grid_, &QComboBox::currentIndexChanged, this, [this] {
        GridChosen();
        changed();
    });
    connect(ratio_, &QLineEdit::textChanged, this, &InputPanel::changed);
    auto* gridLabel = new QLabel("Grid:");
    gridLabel->setBuddy(grid_);
    auto* ratioLabel = new QLabel("R:");
    ratioLabel->setBuddy(ratio_);
    auto* layout = new QHBoxLayout;
    layout->addWidget(grid_);
    layout->addSpacing(6);
    layout->addWidget(ratioLabel);
    layout->addWidget(ratio_);
    layout->addStretch(1);
    form_->addRow(gridLabel, layout);
    GridChosen();
}

// The ratio is for stretched cells only.
void InputPanel::GridChosen() { ratio_->setEnabled(grid_->currentIndex() > 0); }

QString InputPanel::GridReason(study::GridLayout& grid, long N, double L, bool sizeKnown) const {
    grid.kind = kGridKinds[std::max(0, grid_->currentIndex())];
    if (grid.kind == study::GridKind::Uniform) return {};
    const std::optional<double> r = study::ReadStrictNumber(ratio_->text().toStdString());
    if (!r) return QString::fromStdString(study::NumberProblem(ratio_->text().toStdString()));
    grid.ratio = *r;
    grid.baseN = N;
    // Without a usable N and L only the ratio itself is judged.
    if (!sizeKnown || !(L > 0) || !std::isfinite(L)) {
        const auto fault = study::GridFault(grid, 1.0, 1);
        return fault ? QString::fromStdString(*fault) : QString();
    }
    // The live solve takes 2N as well; the Convergence tab goes further.
    for (int k = 0; k <= Refinements(N); ++k)
        if (const auto fault = study::GridFault(grid, L, N << k)) return QString::fromStdString(*fault);
    return {};
}

}  // namespace compare
