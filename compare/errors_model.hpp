// The comparison window's table of errors as a model: one row for each
// ticked scheme with its errors, observed order, boundedness, negative
// coefficients, a bounded scheme's iterations and a note on what that means.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <map>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "study/study.hpp"

namespace compare {

class ErrorsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kScheme, kMaxError, kRmsError, kOrder, kBounded, kNegative, kIterations, kNote, kColumns };

    using QAbstractTableModel::QAbstractTableModel;

    // The rows of `current`. The order column gives the order between the
    // two finest grids of `convergence` when that is the convergence run of
    // the same inputs, and the order from N to 2N, marked coarse, until then.
    // `same` is charts::SameAsEarlier of each row of `current`, made with it.
    void Show(std::shared_ptr<const study::Study> current, std::shared_ptr<const study::Study> convergence,
              std::vector<std::optional<study::Scheme>> same);
    // Whether the order column comes from a finished convergence run.
    bool FinestOrders() const { return finest_ != nullptr; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The table as tab-separated lines, the header first.
    QString Text() const;

private:
    struct Order {
        QString text;
        QString grids;  // "from N = 5 to 10"
        bool coarse = false;
    };
    Order OrderOf(int row) const;
    QString Note(int row) const;

    std::shared_ptr<const study::Study> current_;
    std::shared_ptr<const study::Study> finest_;  // the convergence run of current_'s inputs
    std::vector<std::optional<study::Scheme>> same_;  // which earlier row each row equals
    // Made once for each Show: a repaint asks for each cell's roles many times.
    std::vector<Order> orders_;
    std::vector<QString> notes_;
    mutable std::map<study::Scheme, QIcon> swatches_;
};

}  // namespace compare
