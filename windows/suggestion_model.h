#pragma once
// The entries of the suggestion list. A keystroke may list 100,000 questions: the model
// keeps them as views of the phrase list's lines, copied only when that list is about to
// be loaded again, and the views hear of a whole batch of changes at once.
#include <cstddef>
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
    // The text is not copied: it must stay where it is until Clear or KeepCopies.
    void Append(std::u16string_view entry);
    int Count() const { return static_cast<int>(entries_.size()); }
    std::u16string_view Entry(int row) const { return entries_[static_cast<std::size_t>(row)]; }

    // Copies every entry into the model's own storage.
    void KeepCopies();
    // Whether some entry still points into storage that is not the model's own.
    bool Borrowing() const { return borrowing_; }
    // How often the entries were cleared, to tell whether a handler replaced them.
    unsigned long Clears() const { return clears_; }

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
    std::u16string copies_;
    bool borrowing_ = false;
    unsigned long clears_ = 0;
    int batchDepth_ = 0;
};

}  // namespace windows
