#pragma once
// The entries of the suggestion list. A keystroke may list 100,000 questions: the model
// keeps them as views of the phrase list's lines, holding those lines alive however the
// list is loaded again, and the views hear of a whole batch of changes at once.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QAbstractListModel>

namespace windows {

class SuggestionModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void Clear();
    // The text is not copied: whatever owns it must be given to Hold.
    void Append(std::u16string_view entry);
    // Keeps the owner of appended text alive until the next Clear.
    void Hold(std::shared_ptr<const void> owner);
    int Count() const { return static_cast<int>(entries_.size()); }
    std::u16string_view Entry(int row) const { return entries_[static_cast<std::size_t>(row)]; }

    // While a Batch lives, Clear and Append tell the views nothing; its end resets the
    // model once. Batches nest; the outermost one resets.
    class Batch {
    public:
        explicit Batch(SuggestionModel& model);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        SuggestionModel& model_;
    };

private:
    std::vector<std::u16string_view> entries_;
    std::vector<std::shared_ptr<const void>> owners_;
    int batchDepth_ = 0;
};

}  // namespace windows
