// The space-time picture: its colour scale, the rows it gathers, its panels
// drawn with Qt Charts and its colour bar.
#include "space_time.hpp"

#include <QChart>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "charts.hpp"

namespace charts {

namespace {

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

// The colour bar, drawn by hand in the fonts of the charts' axes: the
// scale's title, its colours from lo to hi with a tick and a label at each
// tick, and above and below it a box for the values beyond the scale.
class Bar {
public:
    explicit Bar(const ColourScale& scale) : scale_(scale) {
        const QValueAxis probe;
        labels_ = probe.labelsFont();
        title_ = probe.titleFont();
        above_ = "above " + QString::number(scale.hi, 'g', 4);
        below_ = "below " + QString::number(scale.lo, 'g', 4);
        const QFontMetrics m(labels_);
        int widest = 0;
        for (double t : scale.Ticks()) widest = std::max(widest, m.horizontalAdvance(Label(t)));
        const int boxes = std::max(m.horizontalAdvance(above_), m.horizontalAdvance(below_));
        width_ = std::max(kGap + kBar + 7 + widest, kGap + kSwatch + 6 + boxes) + kGap;
        box_ = m.height() + 10;
    }
    int Width() const { return width_; }

    void Draw(QPainter& painter, QRect column) const {
        const QFontMetrics m(labels_), mt(title_);
        Swatch(painter, QRect(column.left(), column.top(), width_, box_), kAboveScale, above_);
        Swatch(painter, QRect(column.left(), column.bottom() - box_, width_, box_), kBelowScale, below_);
        painter.setFont(title_);
        painter.setPen(Qt::black);
        const QRect title(column.left() + kGap, column.top() + box_, kBar, mt.height());
        painter.drawText(title.adjusted(-kGap, 0, kGap, 0), Qt::AlignCenter, "φ");
        const int top = title.bottom() + m.height() / 2 + 2, bottom = column.bottom() - box_ - m.height() / 2 - 2;
        if (bottom <= top) return;
        const QRect bar(column.left() + kGap, top, kBar, bottom - top + 1);
        for (int y = bar.top(); y <= bar.bottom(); ++y) {
            const double share = double(bar.bottom() - y) / std::max(1, bar.height() - 1);
            painter.setPen(ScaleColour(share, 0, 1));
            painter.drawLine(bar.left(), y, bar.right(), y);
        }
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(bar);
        painter.setFont(labels_);
        for (double t : scale_.Ticks()) {
            const int y = bar.bottom() - int(std::lround((t - scale_.lo) / (scale_.hi - scale_.lo) * (bar.height() - 1)));
            painter.drawLine(bar.right(), y, bar.right() + 4, y);
            painter.drawText(QRect(bar.right() + 7, y - m.height() / 2, width_, m.height()), Qt::AlignVCenter | Qt::AlignLeft,
                             Label(t));
        }
    }

private:
    static constexpr int kGap = 8, kBar = 20, kSwatch = 16;
    static QString Label(double t) { return QString::number(t, 'g', 4); }

    // A swatch of `colour` with `words` beside it, in the middle of `box`'s
    // height.
    void Swatch(QPainter& painter, QRect box, const QColor& colour, const QString& words) const {
        const int side = std::min(box.height() - 4, kSwatch);
        const QRect patch(box.left() + kGap, box.center().y() - side / 2, side, side);
        painter.fillRect(patch, colour);
        painter.setPen(Qt::black);
        painter.drawRect(patch);
        painter.setFont(labels_);
        painter.drawText(QRect(patch.right() + 6, box.top(), box.right() - patch.right() - 6, box.height()),
                         Qt::AlignVCenter | Qt::AlignLeft, words);
    }

    const ColourScale& scale_;
    QFont labels_, title_;
    QString above_, below_;
    int width_ = 0, box_ = 0;
};

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
    return Picture(order, QSize(kPanel.width() * perRow + Bar(scale_).Width(), kPanel.height() * panelRows));
}

QImage SpaceTime::Picture(const std::vector<study::Scheme>& order, QSize size) const {
    const int count = std::max<int>(1, int(order.size()));
    const int perRow = count <= 3 ? count : int(std::ceil(std::sqrt(double(count))));
    const int panelRows = (count + perRow - 1) / perRow;
    const Bar bar(scale_);
    const QSize panel(std::max(1, (size.width() - bar.Width()) / perRow), std::max(1, size.height() / panelRows));
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
    // The bar no taller than a panel of a picture of no given size.
    bar.Draw(painter, QRect(panel.width() * perRow, 0, bar.Width(), std::min(size.height(), kPanel.height())));
    return picture;
}

}  // namespace charts
