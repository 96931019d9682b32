#include "listing_model.hpp"

#include <utility>

void ListingModel::SetListing(calc::Listing listing) {
    beginResetModel();
    listing_ = std::move(listing);
    endResetModel();
}

int ListingModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(listing_.Size());
}

QVariant ListingModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    return Line(index.row());
}
