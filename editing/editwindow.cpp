#include "editwindow.h"

#include "runtime/runtime.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QCloseEvent>
#include <QPointer>
#include <QWidget>

namespace {

ModalShower& Shower()
{
    static ModalShower shower;
    return shower;
}

// Ends the modal loop when the window is hidden, and only then: a window
// that is minimised (or unmapped by the window system) gets a hide event
// too, yet it stays open and the wait goes on.
class HideWatcher : public QObject {
public:
    HideWatcher(QWidget* window, QEventLoop* loop) : QObject(window), window_(window), loop_(loop)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Hide && !window_->isVisible())
            loop_->quit();
        return false;
    }

private:
    QWidget* window_;
    QEventLoop* loop_;
};

class EscapeFilter : public QObject {
public:
    EscapeFilter(QObject* parent, std::function<void()> close) : QObject(parent), close_(std::move(close)) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(e)->key() != Qt::Key_Escape)
            return false;
        close_();
        return true;
    }

private:
    std::function<void()> close_;
};

}  // namespace

void SetModalShower(ModalShower shower)
{
    Shower() = std::move(shower);
}

void ShowModally(QWidget* window)
{
    if (Shower()) {
        Shower()(window);
        return;
    }
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->raise();
    window->activateWindow();
    QPointer<QWidget> guard(window);
    QEventLoop loop;
    auto* watcher = new HideWatcher(window, &loop);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &loop, &QEventLoop::quit);
    if (window->isVisible())
        loop.exec();
    if (guard)
        delete watcher;
}

void CloseOnEscape(std::initializer_list<QWidget*> widgets, std::function<void()> close)
{
    for (QWidget* w : widgets)
        w->installEventFilter(new EscapeFilter(w, close));
}

void PlaceLabelPair(QWidget* latin, QWidget* kurdish, int topTwips, int clientWidthTwips)
{
    const int width = clientWidthTwips / 2 - 180;
    PlaceTwips(latin, 120, topTwips, width, 255);
    PlaceTwips(kurdish, clientWidthTwips - 120 - width, topTwips, width, 255);
}

EditWindow::EditWindow()
    : Form(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setFixedSize(Twips(kEditWindowWidth), Twips(2460));
}

void EditWindow::closeEvent(QCloseEvent* event)
{
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void EditWindow::Form_QueryUnload(bool& cancel)
{
    // Only the window's close button and Escape hide it.
    cancel = true;
}

QLabel* MakeEditLabel(QWidget* parent, const QString& text, Qt::Alignment align)
{
    auto* l = new QLabel(text, parent);
    l->setFont(KurdishFont(8.25));
    l->setAlignment(align | Qt::AlignAbsolute | Qt::AlignVCenter);   // Kurdish text would flip a plain right
    return l;
}

QLineEdit* MakeEditField(QWidget* parent, int top, bool bold)
{
    auto* f = new QLineEdit(parent);
    f->setFont(KurdishFont(8.25, bold));
    PlaceTwips(f, 120, top, kEditWindowWidth - 240, 375);
    return f;
}

QPushButton* MakeEditButton(QWidget* parent, const QString& caption, const QString& tip, int left, int width)
{
    auto* b = new QPushButton(caption, parent);
    b->setToolTip(tip);
    b->setFont(KurdishFont(8.25, true));
    b->setAutoDefault(false);   // Enter in a field does nothing
    PlaceTwips(b, left, 1860, width, 420);
    return b;
}
