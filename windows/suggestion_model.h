#pragma once
// The entries of the suggestion list. A keystroke may list 100,000 questions: the model
// keeps the core's suggestion list as it is, sharing its lines instead of copying them,
// and the views hear of each new list once.
#include <string_view>

#include <QAbstractListModel>

#include "suggestion_list.h"

namespace windows {

class SuggestionModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Shows these entries in place of the ones shown.
    void Show(dialogue::SuggestionList suggestions);
    void Clear() { Show({}); }
    int Count() const { return count_; }
    std::u16string_view Entry(int row) const {
        return list_.Question(static_cast<std::size_t>(row));
    }

private:
    dialogue::SuggestionList list_;
    int count_ = 0;  // rows are counted in int; entries beyond that could not be shown
};

}  // namespace windows
