// The list box's contents as a model: the rows are the listing's lines,
// each written out only when the view asks for it, so that a listing of
// 200,000 lines is shown at once.
#pragma once

#include <QAbstractListModel>

#include "../schemes/listing.hpp"

class ListingModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    // Replaces every row in one step.
    void SetListing(calc::Listing listing);
    const calc::Listing& Listing() const { return listing_; }
    QString Line(int row) const { return QString::fromStdString(listing_.Line(static_cast<std::size_t>(row))); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    calc::Listing listing_;
};
