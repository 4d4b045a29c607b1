// The reader's word window: a double-click on a word of the text box, or F2
// on the word at the caret (or on the selected words), opens a small window
// beside the word with its entries from the word store, found as the
// dictionary window's look-up finds them but without moving that window's
// result or cursor. Reading goes on meanwhile; Escape or a click elsewhere
// closes it.
#pragma once

#include "dictionary/lookup.h"

#include <QAbstractTableModel>
#include <QFrame>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QTableView;

// Where the words are looked up: the store and the match mode number.
struct WordSource {
    WordStore* store = nullptr;
    int modeNumber = 75;
};

// The found entries: English on the left, Kurdish on the right, as in the
// dictionary window's grid.
class EntriesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void SetEntries(std::vector<WordStore::Entry> entries);
    const std::vector<WordStore::Entry>& Entries() const { return entries_; }
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<WordStore::Entry> entries_;
};

class WordPopup : public QFrame {
    Q_OBJECT
public:
    // Watches the text box's double-clicks and F2; `source` is asked at each look-up.
    WordPopup(QPlainTextEdit* box, std::function<WordSource()> source);

    // Controls.
    QLabel* Heading;       // the start of the word that was found (the word itself when none was)
    QTableView* Entries;   // the entries, best match first
    QLabel* Notice;        // the word is not in the dictionary, in Kurdish and English
    EntriesModel* Model;

    // Looks the word up and shows the window beside the word's rectangle
    // (global coordinates). An empty word does nothing.
    void ShowFor(const QString& word, const QRect& wordRect);
    // The word at a position of the text box (as a cursor position), shown beside it.
    void ShowForWordAt(int position);
    // The selected text of the box when there is one on a single line, else the word at the caret.
    void ShowForCaret();
    // The start of the word whose entries are shown; empty when none matched.
    QString Found() const { return found_; }

    // At most this many entries are listed: the best matches come first.
    static constexpr int kMostEntries = 200;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place(const QRect& wordRect, Qt::LayoutDirection direction);

    QPlainTextEdit* box_;
    QWidget* viewport_;   // the box's, where the mouse clicks
    std::function<WordSource()> source_;
    QString found_;
};
