#include "suggestion_model.h"

#include <algorithm>
#include <limits>

#include "qt_strings.h"

namespace windows {

int SuggestionModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant SuggestionModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return ToQString(Entry(index.row()));
    return {};
}

void SuggestionModel::Show(dialogue::SuggestionList suggestions) {
    if (count_ == 0 && suggestions.Empty()) return;
    beginResetModel();
    list_ = std::move(suggestions);
    count_ =
        static_cast<int>(std::min<std::size_t>(list_.Count(), std::numeric_limits<int>::max()));
    endResetModel();
}

}  // namespace windows
