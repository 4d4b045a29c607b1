#include "forms.h"

#include "about/varin1.h"
#include "dictionary/varin2.h"
#include "editing/varin4.h"
#include "editing/varin5.h"
#include "reader/varin3.h"
#include "startup/varin0.h"

#include <QAccessible>
#include <QChildEvent>

#include <cstring>

void Form::Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

namespace {

// Where a control out of reach keeps the focus policy it had, to take it
// back when it shows again.
constexpr const char* kOwnFocusPolicy = "varinOwnFocusPolicy";

QList<QWidget*> WithDescendants(QWidget* control)
{
    return QList<QWidget*>{control} + control->findChildren<QWidget*>();
}

}  // namespace

bool OutsideWindow(const QWidget* control)
{
    const QWidget* window = control->parentWidget();
    return window && !control->isWindow() && !control->geometry().intersects(window->rect());
}

bool Form::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        // Its place is known only later: each move and resize is watched (a
        // child that leaves the window is let be, see eventFilter).
        if (auto* w = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()); w && !w->isWindow())
            w->installEventFilter(this);
        break;
    case QEvent::Resize:
    case QEvent::Show:
        for (QObject* child : children())
            if (auto* w = qobject_cast<QWidget*>(child); w && !w->isWindow())
                KeepInReach(w);
        break;
    default: break;
    }
    return QWidget::event(event);
}

bool Form::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched->parent() == this && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show))
        KeepInReach(static_cast<QWidget*>(watched));
    return QWidget::eventFilter(watched, event);
}

void Form::KeepInReach(QWidget* control)
{
    const bool outside = OutsideWindow(control);
    const bool wasOutside = control->property(kOwnFocusPolicy).isValid();
    if (outside == wasOutside)
        return;
    if (outside) {
        for (QWidget* w : WithDescendants(control)) {
            w->setProperty(kOwnFocusPolicy, int(w->focusPolicy()));
            w->setFocusPolicy(Qt::NoFocus);
        }
        // A control that had the focus (clicked while it showed) hands it on,
        // or to no one: a key must not reach what cannot be seen.
        QWidget* focus = focusWidget();
        if (focus && (focus == control || control->isAncestorOf(focus))) {
            focusNextChild();
            if (QWidget* still = focusWidget(); still && (still == control || control->isAncestorOf(still)))
                still->clearFocus();
        }
    } else {
        for (QWidget* w : WithDescendants(control)) {
            const QVariant own = w->property(kOwnFocusPolicy);
            if (own.isValid())
                w->setFocusPolicy(Qt::FocusPolicy(own.toInt()));
            w->setProperty(kOwnFocusPolicy, QVariant());
        }
    }
    QAccessibleEvent change(control, outside ? QAccessible::ObjectHide : QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&change);
}

Forms& forms()
{
    static Forms instance;
    return instance;
}

namespace {

// Creates the window on first reference and runs its load before returning.
template <typename W, typename Slot>
W& Reference(Slot& slot)
{
    if (!slot) {
        W* w = new W();
        slot = w;
        w->Load();
    }
    return *slot;
}

}  // namespace

::Varin0& Forms::Varin0() { return Reference<::Varin0>(varin0_); }
::Varin1& Forms::Varin1() { return Reference<::Varin1>(varin1_); }
::Varin2& Forms::Varin2() { return Reference<::Varin2>(varin2_); }
::Varin3& Forms::Varin3() { return Reference<::Varin3>(varin3_); }
::Varin4& Forms::Varin4() { return Reference<::Varin4>(varin4_); }
::Varin5& Forms::Varin5() { return Reference<::Varin5>(varin5_); }

bool Forms::IsLoaded(const char* formName) const
{
    const std::pair<const char*, const QWidget*> windows[] = {
        {"Varin0", varin0_}, {"Varin1", varin1_.data()}, {"Varin2", varin2_},
        {"Varin3", varin3_}, {"Varin4", varin4_},        {"Varin5", varin5_},
    };
    for (const auto& [name, window] : windows)
        if (std::strcmp(formName, name) == 0)
            return window != nullptr;
    return false;
}

namespace {

template <typename W>
void Destroy(W*& window)
{
    delete window;
    window = nullptr;
}

}  // namespace

void Forms::Unload()
{
    delete varin1_.data();
    Destroy(varin0_);
    Destroy(varin2_);
    Destroy(varin3_);
    Destroy(varin4_);
    Destroy(varin5_);
}
