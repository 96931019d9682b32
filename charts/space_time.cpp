// The space-time picture: its colour scale, the rows it gathers, and its
// panels and colour bar drawn with Qt Charts.
#include "space_time.hpp"

#include <QChart>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "charts.hpp"

namespace charts {

namespace {

// The colour bar's column, wide enough for its tick labels and the boxes'
// words.
constexpr int kBarWidth = 175;
// A panel's size in a picture that has no size given.
const QSize kPanel(460, 380);

// The smallest 1, 2 or 5 times a power of ten that cuts `span` into at
// most `most` pieces.
double RoundStep(double span, int most) {
    if (!(span > 0) || !std::isfinite(span)) return 1;
    const double rough = span / most, power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= rough * (1 - 1e-9)) return m * power;
    return 10 * power;
}

// A value axis over [lo, hi] with its ticks at multiples of a round step.
QValueAxis* RoundAxis(double lo, double hi, double step, const QString& title) {
    auto* axis = new QValueAxis;
    axis->setRange(lo, hi);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    axis->setLabelFormat("%.4g");
    axis->setTitleText(title);
    return axis;
}

// `chart` at `size` with `data` filling its plot area, drawn at `at`. It
// is laid out once to learn its plot area.
void DrawWith(QPainter& painter, QChart& chart, const QImage& data, QPoint at, QSize size) {
    chart.legend()->hide();
    chart.setMargins(QMargins(6, 6, 6, 6));
    Image(&chart, size);
    const QRectF area = chart.plotArea();
    const QImage scaled = data.scaled(area.size().toSize(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QBrush brush(scaled);
    brush.setTransform(QTransform::fromTranslate(area.left(), area.top()));
    chart.setPlotAreaBackgroundBrush(brush);
    chart.setPlotAreaBackgroundVisible(true);
    painter.drawImage(at, Image(&chart, size));
}

// A swatch of `colour` with `words` beside it, in `font`, left-aligned in
// `box`.
void Swatch(QPainter& painter, QRect box, const QColor& colour, const QString& words, const QFont& font) {
    const int side = std::min(box.height() - 4, 16);
    const QRect patch(box.left() + 8, box.center().y() - side / 2, side, side);
    painter.fillRect(patch, colour);
    painter.setPen(Qt::black);
    painter.drawRect(patch);
    painter.setFont(font);
    painter.drawText(QRect(patch.right() + 6, box.top(), box.right() - patch.right() - 6, box.height()),
                     Qt::AlignVCenter | Qt::AlignLeft, words);
}

}  // namespace

QColor ScaleColour(double value, double lo, double hi) {
    // A few stops of a perceptually even map, interpolated.
    static const QColor stops[] = {QColor(68, 1, 84),    QColor(59, 82, 139),  QColor(33, 145, 140),
                                   QColor(94, 201, 98), QColor(253, 231, 37)};
    const int last = int(std::size(stops)) - 1;
    double share = hi > lo ? (value - lo) / (hi - lo) : 0.5;
    share = std::clamp(std::isnan(share) ? 0.5 : share, 0.0, 1.0) * last;
    const int i = std::min(int(share), last - 1);
    const double f = share - i;
    auto mix = [&](int a, int b) { return int(std::lround(a + f * (b - a))); };
    return QColor(mix(stops[i].red(), stops[i + 1].red()), mix(stops[i].green(), stops[i + 1].green()),
                  mix(stops[i].blue(), stops[i + 1].blue()));
}

std::vector<double> ColourScale::Ticks() const {
    std::vector<double> ticks;
    for (double k = std::ceil((lo - anchor) / tick - 1e-9); anchor + k * tick <= hi + 1e-9 * tick && ticks.size() < 100;
         ++k)
        ticks.push_back(k == 0 ? anchor : anchor + k * tick);
    return ticks;
}

QColor ColourScale::Of(double value) const {
    // A rounding beyond an end is still the end's colour: the rows are kept
    // as floats.
    const double slack = 1e-6 * std::max({hi - lo, std::fabs(lo), std::fabs(hi)});
    if (value > hi + slack) return kAboveScale;
    if (value < lo - slack) return kBelowScale;
    return ScaleColour(value, lo, hi);
}

ColourScale ScaleOver(double lo, double hi) {
    ColourScale s;
    const double size = std::max({1.0, std::fabs(lo), std::fabs(hi)});
    if (!(hi - lo > 1e-12 * size)) {
        const double v = 0.5 * (lo + hi), w = std::max(1.0, std::fabs(v));
        lo = v - w;
        hi = v + w;
        s.anchor = v;
    }
    s.lo = lo;
    s.hi = hi;
    s.tick = RoundStep(hi - lo, 5);
    return s;
}

ColourScale ScaleOf(const transient::Plan& plan) {
    const auto [lo, hi] = transient::NaturalBounds(plan);
    return ScaleOver(lo, hi);
}

SpaceTime::SpaceTime(const transient::Plan& plan, long rows, long columns)
    : plan_(plan), rows_(rows), columns_(std::min(columns, plan.N)), scale_(ScaleOf(plan)) {
    if (const auto steps = transient::StepsOf(plan.tEnd, plan.dt, plan.frames)) rows_ = std::min(rows_, steps->n + 1);
}

void SpaceTime::Add(const transient::Sample& s) {
    auto row = std::make_shared<std::vector<float>>(static_cast<std::size_t>(columns_));
    const double perColumn = double(plan_.N) / double(columns_);
    for (long c = 0; c < columns_; ++c) {
        const auto i = std::min<long>(plan_.N - 1, long((double(c) + 0.5) * perColumn));
        (*row)[std::size_t(c)] = float(s.phi[std::size_t(i)]);
    }
    samples_[s.scheme].push_back(std::move(row));
}

long SpaceTime::RowsOf(study::Scheme s) const {
    const auto found = samples_.find(s);
    return found == samples_.end() ? 0 : long(found->second.size());
}

QImage SpaceTime::Data(study::Scheme s) const {
    QImage data(int(columns_), int(std::max<long>(rows_, 1)), QImage::Format_RGB32);
    data.fill(kNoValue);
    const auto found = samples_.find(s);
    if (found == samples_.end()) return data;
    const std::vector<Row>& rows = found->second;
    for (std::size_t r = 0; r < rows.size() && int(r) < data.height(); ++r) {
        auto* line = reinterpret_cast<QRgb*>(data.scanLine(data.height() - 1 - int(r)));
        for (long c = 0; c < columns_; ++c) line[c] = scale_.Of(double((*rows[r])[std::size_t(c)])).rgb();
    }
    return data;
}

QImage SpaceTime::Picture(const std::vector<study::Scheme>& order) const {
    // As square as the panels allow: 2 x 2 for four, 3 then 3 for six.
    const int count = std::max<int>(1, int(order.size()));
    const int perRow = count <= 3 ? count : int(std::ceil(std::sqrt(double(count))));
    const int panelRows = (count + perRow - 1) / perRow;
    return Picture(order, QSize(kPanel.width() * perRow + kBarWidth, kPanel.height() * panelRows));
}

QImage SpaceTime::Picture(const std::vector<study::Scheme>& order, QSize size) const {
    const int count = std::max<int>(1, int(order.size()));
    const int perRow = count <= 3 ? count : int(std::ceil(std::sqrt(double(count))));
    const int panelRows = (count + perRow - 1) / perRow;
    const QSize panel(std::max(1, (size.width() - kBarWidth) / perRow), std::max(1, size.height() / panelRows));
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    QPainter painter(&picture);

    for (std::size_t s = 0; s < order.size(); ++s) {
        QChart chart;
        chart.setTitle(SchemeTitle(order[s]));
        const double L = plan_.problem.L, tEnd = plan_.tEnd;
        chart.addAxis(RoundAxis(0, L, RoundStep(L, std::max(2, panel.width() / 90)), "x (m)"), Qt::AlignBottom);
        chart.addAxis(RoundAxis(0, tEnd, RoundStep(tEnd, std::max(2, panel.height() / 60)), "t (s)"), Qt::AlignLeft);
        DrawWith(painter, chart, Data(order[s]), QPoint(int(s % perRow) * panel.width(), int(s / perRow) * panel.height()),
                 panel);
    }

    // The bar: the scale from lo to hi between the boxes of the values
    // above it (on top) and below it (underneath).
    QImage scale(1, 256, QImage::Format_RGB32);
    for (int r = 0; r < 256; ++r) scale.setPixelColor(0, 255 - r, ScaleColour(r, 0, 255));
    QChart chart;
    chart.setTitle("φ");
    auto* x = new QValueAxis;
    x->setRange(0, 1);
    x->setLabelsVisible(false);
    x->setTickCount(2);
    x->setGridLineVisible(false);
    QValueAxis* y = RoundAxis(scale_.lo, scale_.hi, scale_.tick, "");
    y->setTickAnchor(scale_.anchor);
    y->setGridLineVisible(false);
    chart.addAxis(x, Qt::AlignBottom);
    chart.addAxis(y, Qt::AlignLeft);
    const QFont font = y->labelsFont();
    const int box = QFontMetrics(font).height() + 10, left = panel.width() * perRow;
    const int barHeight = std::max(1, std::min(size.height(), kPanel.height()) - 2 * box);
    const QString lo = QString::number(scale_.lo, 'g', 4), hi = QString::number(scale_.hi, 'g', 4);
    Swatch(painter, QRect(left, 0, kBarWidth, box), kAboveScale, "above " + hi, font);
    DrawWith(painter, chart, scale, QPoint(left, box), QSize(kBarWidth, barHeight));
    Swatch(painter, QRect(left, box + barHeight, kBarWidth, box), kBelowScale, "below " + lo, font);
    return picture;
}

}  // namespace charts
