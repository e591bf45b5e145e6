#include "suggestion_model.h"

#include <limits>

#include "app_support.h"

namespace windows {

int SuggestionModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant SuggestionModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) return ToQString(Entry(index.row()));
    return {};
}

void SuggestionModel::Clear() {
    const bool tell = batchDepth_ == 0 && !entries_.empty();
    if (tell) beginResetModel();
    entries_.clear();
    owners_.clear();
    if (tell) endResetModel();
}

void SuggestionModel::Hold(std::shared_ptr<const void> owner) {
    if (entries_.empty() || owner == nullptr) return;
    if (owners_.empty() || owners_.back() != owner) owners_.push_back(std::move(owner));
}

void SuggestionModel::Append(std::u16string_view entry) {
    // Rows are counted in int; entries beyond that could not be shown.
    if (entries_.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max())) return;
    if (batchDepth_ > 0) {
        entries_.push_back(entry);
        return;
    }
    const int row = Count();
    beginInsertRows(QModelIndex(), row, row);
    entries_.push_back(entry);
    endInsertRows();
}

SuggestionModel::Batch::Batch(SuggestionModel& model) : model_(model) {
    if (model_.batchDepth_++ == 0) model_.beginResetModel();
}

SuggestionModel::Batch::~Batch() {
    if (--model_.batchDepth_ == 0) model_.endResetModel();
}

}  // namespace windows
