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
    ++clears_;
    if (batchDepth_ == 0 && !entries_.empty()) beginResetModel();
    const bool tell = batchDepth_ == 0 && !entries_.empty();
    entries_.clear();
    copies_.clear();
    borrowing_ = false;
    if (tell) endResetModel();
}

void SuggestionModel::Append(std::u16string_view entry) {
    // Rows are counted in int; entries beyond that could not be shown.
    if (entries_.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max())) return;
    borrowing_ = true;
    if (batchDepth_ > 0) {
        entries_.push_back(entry);
        return;
    }
    const int row = Count();
    beginInsertRows(QModelIndex(), row, row);
    entries_.push_back(entry);
    endInsertRows();
}

void SuggestionModel::KeepCopies() {
    if (!borrowing_) return;
    std::size_t size = 0;
    for (const std::u16string_view entry : entries_) size += entry.size();
    std::u16string copies;
    copies.reserve(size);
    for (const std::u16string_view entry : entries_) copies.append(entry);
    copies_ = std::move(copies);
    std::size_t begin = 0;
    for (std::u16string_view& entry : entries_) {
        entry = std::u16string_view(copies_).substr(begin, entry.size());
        begin += entry.size();
    }
    borrowing_ = false;
}

SuggestionModel::Batch::Batch(SuggestionModel& model) : model_(model) {
    if (model_.batchDepth_++ == 0) model_.beginResetModel();
}

SuggestionModel::Batch::~Batch() {
    if (--model_.batchDepth_ == 0) model_.endResetModel();
}

}  // namespace windows
