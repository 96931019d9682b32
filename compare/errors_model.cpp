// The errors table's model: rows of the study on show, orders from the
// convergence run once it has finished.
#include "errors_model.hpp"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <cmath>

#include "charts/charts.hpp"
#include "input_panel.hpp"
#include "study/warnings.hpp"

namespace compare {

namespace {

QString Number(double v) { return QString::number(v, 'g', 4); }

// Two orders further apart than this say the grids are not yet fine enough
// for the scheme's order to show.
constexpr double kSettled = 0.1;

bool SameInputs(const study::Study& a, const study::Study& b) {
    const study::Problem &p = a.problem, &q = b.problem;
    return p == q && a.plan.N == b.plan.N && a.plan.schemes == b.plan.schemes;
}

// Whether the error on grid k is rounding rather than the scheme's: below
// a thousand rounding steps of the N values (an exact scheme's error), or
// stopped falling where the rounding of the solve, which can reach the
// machine epsilon times N^2 (the rows carry coefficients of size N), has
// taken over.
bool Rounding(const study::Study& st, const std::vector<study::Result>& grids, std::size_t k) {
    const study::Problem& p = st.problem;
    const double n = double(grids[k].grid.N), e = grids[k].maxError, eps = 2.22e-16;
    const auto [least, largest] = study::ExactRange(p);
    const double scale = std::max({1.0, std::fabs(least), std::fabs(largest)});
    return e < 1e3 * eps * n * scale || (k > 0 && e >= grids[k - 1].maxError && e < 100 * eps * n * n * scale);
}

// Whether the order of grid k over grid k - 1 tells the scheme's order.
bool Telling(const study::Study& st, const std::vector<study::Result>& grids, std::size_t k) {
    return k >= 1 && grids[k].orderMax && !Rounding(st, grids, k) && !Rounding(st, grids, k - 1);
}

QString Grids(const study::Result& finer) {
    return QString("from N = %1 to %2").arg(finer.grid.N / 2).arg(finer.grid.N);
}

}  // namespace

void ErrorsModel::Show(std::shared_ptr<const study::Study> current, std::shared_ptr<const study::Study> convergence,
                       std::vector<std::optional<study::Scheme>> same) {
    beginResetModel();
    current_ = std::move(current);
    same_ = std::move(same);
    finest_ = current_ && convergence && SameInputs(*current_, *convergence) ? std::move(convergence) : nullptr;
    orders_.clear();
    notes_.clear();
    for (int row = 0; row < rowCount(); ++row) {
        orders_.push_back(OrderOf(row));
        notes_.push_back(Note(row));
    }
    endResetModel();
    headerDataChanged(Qt::Horizontal, kOrder, kOrder);
}

int ErrorsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !current_ ? 0 : int(current_->results.size());
}

int ErrorsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

ErrorsModel::Order ErrorsModel::OrderOf(int row) const {
    if (finest_) {
        // The two finest grids before rounding took over.
        const std::vector<study::Result>& grids = finest_->results[std::size_t(row)];
        std::size_t k = grids.size() - 1;
        while (k > 1 && !Telling(*finest_, grids, k)) --k;
        if (!Telling(*finest_, grids, k)) return {"– (rounding)", "", false};
        QString text = Number(*grids[k].orderMax);
        if (k >= 2 && Telling(*finest_, grids, k - 1) &&
            std::fabs(*grids[k].orderMax - *grids[k - 1].orderMax) > kSettled)
            text += " (pre-asymptotic)";
        return {text, Grids(grids[k]), false};
    }
    const std::vector<study::Result>& grids = current_->results[std::size_t(row)];
    if (grids.size() < 2 || !grids[1].orderMax) return {"–", "", true};  // none at the finest N allowed
    if (!Telling(*current_, grids, 1)) return {"– (rounding)", "", true};
    return {Number(*grids[1].orderMax), Grids(grids[1]), true};
}

QString ErrorsModel::Note(int row) const {
    const std::size_t r = std::size_t(row);
    QString note = QString::fromStdString(study::Warning(*current_, current_->results[r][0]));
    if (const auto same = r < same_.size() ? same_[r] : std::nullopt)
        note = QString("the same solution as %1 here").arg(charts::SchemeTitle(*same)) +
               (note.isEmpty() ? "" : "; " + note);
    return note;
}

QVariant ErrorsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !current_ || index.row() >= rowCount()) return {};
    const study::Result& r = current_->results[std::size_t(index.row())][0];
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            switch (column) {
                case kScheme: return charts::SchemeTitle(r.scheme);
                case kMaxError: return Number(r.maxError);
                case kRmsError: return Number(r.rmsError);
                case kOrder: return orders_[std::size_t(index.row())].text;
                case kBounded: return r.bounded ? "yes" : "no";
                case kNegative: return r.NegativeCoefficients() ? "yes" : "no";
                case kIterations: return r.iterations ? QString::number(*r.iterations) : QString();
                case kNote: return notes_[std::size_t(index.row())];
            }
            return {};
        case Qt::ToolTipRole: {
            if (column == kOrder) {
                const Order order = orders_[std::size_t(index.row())];
                if (order.grids.isEmpty()) return {};
                return QString("log2 of the max error's fall %1%2")
                    .arg(order.grids, order.coarse ? ": coarse grids, maybe not the scheme's order yet" : "");
            }
            // A long note in rich text, which the tooltip wraps to show whole.
            const QString note = notes_[std::size_t(index.row())];
            return note.isEmpty() ? QVariant() : QVariant("<p>" + note.toHtmlEscaped() + "</p>");
        }
        case Qt::BackgroundRole:
            if (!r.bounded) return QBrush(QColor(255, 215, 215));
            return {};
        case Qt::ForegroundRole:
            if (column == kOrder && orders_[std::size_t(index.row())].coarse) return QBrush(QColor(110, 110, 110));
            return {};
        case Qt::FontRole:
            if (column == kOrder && orders_[std::size_t(index.row())].coarse) {
                QFont font;
                font.setItalic(true);
                return font;
            }
            return {};
        case Qt::DecorationRole:
            if (column == kScheme) {
                auto it = swatches_.find(r.scheme);
                if (it == swatches_.end()) it = swatches_.emplace(r.scheme, Swatch(r.scheme)).first;
                return it->second;
            }
            return {};
    }
    return {};
}

QVariant ErrorsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns) return {};
    if (role == Qt::DisplayRole) {
        static const char* const titles[] = {"Scheme",  "Max error",             "RMS error",  "",
                                             "Bounded", "Negative coefficients", "Iterations", "Note"};
        if (section != kOrder) return titles[section];
        return finest_ ? "Order (finest grids)" : "Order (N to 2N, coarse)";
    }
    if (role == Qt::ToolTipRole && section == kIterations)
        return "How many iterations a bounded scheme's nonlinear equations took to converge";
    if (role == Qt::ToolTipRole && section == kOrder) {
        if (finest_)
            return QString(
                       "The observed order between the two finest grids of the convergence run, N = %1 to %2 "
                       "(finer grids left out where rounding has taken over); \"pre-asymptotic\" where the last "
                       "two orders of the run differ by more than %3")
                .arg(finest_->sizes.size() > 1 ? finest_->sizes[finest_->sizes.size() - 2] : 0)
                .arg(finest_->sizes.back())
                .arg(kSettled);
        return "The order from N to 2N: on coarse grids it may not be the scheme's order yet. The convergence run "
               "replaces it with the order at its finest grids once it has finished.";
    }
    return {};
}

QString ErrorsModel::Text() const {
    QStringList lines;
    QStringList header;
    for (int c = 0; c < kColumns; ++c) header.append(headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    lines.append(header.join('\t'));
    for (int r = 0; r < rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < kColumns; ++c) cells.append(data(index(r, c), Qt::DisplayRole).toString());
        lines.append(cells.join('\t'));
    }
    return lines.join('\n') + '\n';
}

}  // namespace compare
