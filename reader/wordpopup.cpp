#include "wordpopup.h"

#include "dictionary/texts.h"
#include "reader/texts.h"
#include "reader/textfile.h"
#include "reader/wordat.h"
#include "runtime/accessibility.h"
#include "runtime/runtime.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTableView>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

constexpr int kWidth = 380;
constexpr int kRowsShown = 7;

}  // namespace

void EntriesModel::SetEntries(std::vector<WordStore::Entry> entries)
{
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

int EntriesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(entries_.size());
}

int EntriesModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant EntriesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(entries_.size()))
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue((index.column() == 1 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const WordStore::Entry& e = entries_[size_t(index.row())];
    const QString& value = index.column() == 0 ? e.English : e.Kurdish;
    constexpr qsizetype kShown = 1000;   // a line's worth, as in the dictionary's grid
    return value.size() > kShown ? value.left(kShown) + QChar(0x2026) : value;
}

QVariant EntriesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("English") : Varin2Name::kText1;
}

WordPopup::WordPopup(QPlainTextEdit* box, std::function<WordSource()> source)
    : QFrame(box, Qt::Popup), box_(box), viewport_(box->viewport()), source_(std::move(source))
{
    setObjectName(QStringLiteral("WordPopup"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setFixedWidth(kWidth);

    Heading = new QLabel(this);
    Heading->setFont(KurdishFont(11, true));
    Heading->setTextFormat(Qt::PlainText);
    Model = new EntriesModel(this);
    Entries = new QTableView(this);
    Entries->setModel(Model);
    Entries->setFont(KurdishFont(10));
    Entries->setSelectionBehavior(QAbstractItemView::SelectRows);
    Entries->setSelectionMode(QAbstractItemView::SingleSelection);
    Entries->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Entries->verticalHeader()->hide();
    Entries->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Entries->setWordWrap(false);
    // English keeps the dictionary grid's left column, Kurdish its right one.
    Entries->setLayoutDirection(Qt::LeftToRight);
    Notice = new QLabel(this);
    Notice->setFont(KurdishFont(10));
    Notice->setTextFormat(Qt::PlainText);
    Notice->setWordWrap(true);
    Notice->setText(WordPopupText::kNotFound + u'\n' + WordPopupText::kNotFoundEn);
    Notice->setFocusPolicy(Qt::StrongFocus);   // a screen reader reads what has the focus
    Notice->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(Heading);
    layout->addWidget(Entries);
    layout->addWidget(Notice);

    // A screen reader meets it as a window of its own, named in Kurdish.
    SetAccessibleRole({this}, QAccessible::Window);
    setAccessibleName(WordPopupText::kName);
    setAccessibleDescription(WordPopupText::kAbout);
    SetAccessible({
        {Heading, WordPopupText::kHeading},
        {Entries, Varin2Name::kDataGrid1, Varin2Name::kDataGrid1About},
        {Notice, WordPopupText::kNotFound, WordPopupText::kNotFoundEn},
    });

    box_->installEventFilter(this);
    viewport_->installEventFilter(this);
    Entries->installEventFilter(this);
    Notice->installEventFilter(this);
}

void WordPopup::ShowFor(const QString& word, const QRect& wordRect)
{
    if (word.isEmpty())
        return;
    const WordSource source = source_ ? source_() : WordSource{};
    WordLookup result = source.store ? LookUpWord(*source.store, word, source.modeNumber, kMostEntries) : WordLookup{};
    const bool found = !result.entries.empty();
    found_ = result.found;
    const QString shown = found ? found_ : word;
    Heading->setText(shown);
    const Qt::LayoutDirection direction = ReadingDirection(shown);
    // Kurdish stands at the right, English at the left, whatever the layout's direction.
    Heading->setAlignment((direction == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignAbsolute
                          | Qt::AlignVCenter);
    Heading->setAccessibleDescription(word);
    Model->SetEntries(std::move(result.entries));
    Entries->setVisible(found);
    Notice->setVisible(!found);
    if (found) {
        const int rows = std::min(int(Model->Entries().size()), kRowsShown);
        Entries->setFixedHeight(Entries->horizontalHeader()->sizeHint().height()
                                + rows * Entries->verticalHeader()->defaultSectionSize() + 2 * Entries->frameWidth());
        Entries->setCurrentIndex(Model->index(0, 0));
    }
    adjustSize();
    Place(wordRect, direction);
    show();
    raise();
    activateWindow();
    (found ? static_cast<QWidget*>(Entries) : Notice)->setFocus(Qt::PopupFocusReason);
}

void WordPopup::Place(const QRect& wordRect, Qt::LayoutDirection direction)
{
    // Below the word, starting where the word starts in its reading
    // direction; above it when the screen ends below; always on the screen.
    const QScreen* screen = QGuiApplication::screenAt(wordRect.center());
    if (!screen)
        screen = box_->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect(wordRect.topLeft(), size());
    int x = direction == Qt::RightToLeft ? wordRect.right() - width() + 1 : wordRect.left();
    int y = wordRect.bottom() + 3;
    if (y + height() > room.bottom() && wordRect.top() - 3 - height() >= room.top())
        y = wordRect.top() - 3 - height();
    x = std::clamp(x, room.left(), std::max(room.left(), room.right() - width() + 1));
    y = std::clamp(y, room.top(), std::max(room.top(), room.bottom() - height() + 1));
    move(x, y);
}

void WordPopup::ShowForWordAt(int position)
{
    QTextCursor cursor(box_->document());
    cursor.setPosition(std::clamp(position, 0, box_->document()->characterCount() - 1));
    const QTextBlock block = cursor.block();
    const WordSpan span = WordAt(block.text(), position - block.position());
    if (span.length == 0)
        return;
    QTextCursor first(box_->document()), last(box_->document());
    first.setPosition(block.position() + int(span.start));
    last.setPosition(block.position() + int(span.start + span.length));
    QRect rect = box_->cursorRect(first).united(box_->cursorRect(last));
    rect.moveTopLeft(box_->viewport()->mapToGlobal(rect.topLeft()));
    ShowFor(block.text().mid(span.start, span.length), rect);
}

void WordPopup::ShowForCaret()
{
    const QTextCursor caret = box_->textCursor();
    if (caret.hasSelection()) {
        QTextCursor start(box_->document()), end(box_->document());
        start.setPosition(caret.selectionStart());
        end.setPosition(caret.selectionEnd());
        const QString text = caret.selectedText().trimmed();
        // A phrase on one line is looked up as it stands ("a bit"); more than
        // that is no entry of a dictionary.
        if (start.blockNumber() == end.blockNumber() && !text.isEmpty() && text.size() <= kLongestWord) {
            QRect rect = box_->cursorRect(start).united(box_->cursorRect(end));
            rect.moveTopLeft(box_->viewport()->mapToGlobal(rect.topLeft()));
            ShowFor(text, rect);
            return;
        }
    }
    ShowForWordAt(caret.position());
}

bool WordPopup::eventFilter(QObject* watched, QEvent* event)
{
    // Only pointers are compared here: events also come while the box is being destroyed.
    if (watched == viewport_ && event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            const int position = box_->cursorForPosition(mouse->position().toPoint()).position();
            ShowForWordAt(position);
            if (isVisible())
                return true;   // the double-click was the look-up; the caret and selection stay
        }
    } else if (watched == box_ && event->type() == QEvent::KeyPress
               && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F2) {
        ShowForCaret();
        return true;
    } else if ((watched == Entries || watched == Notice) && event->type() == QEvent::KeyPress
               && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        close();   // the reader stays open: only the word window goes
        return true;
    }
    return QFrame::eventFilter(watched, event);
}
