#include "modal.h"

#include "runtime/runtime.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace {

ModalShower& Shower()
{
    static ModalShower shower;
    return shower;
}

// Ends the modal loop when the window is hidden.
class HideWatcher : public QObject {
public:
    HideWatcher(QWidget* window, QEventLoop* loop) : QObject(window), loop_(loop) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Hide)
            loop_->quit();
        return false;
    }

private:
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
