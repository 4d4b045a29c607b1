#include "accessibility.h"

#include "forms.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QSlider>
#include <cmath>

namespace {

QHash<const QObject*, SliderReading>& Readings()
{
    static QHash<const QObject*, SliderReading> readings;
    return readings;
}

const SliderReading* ReadingOf(const QObject* slider)
{
    const auto it = Readings().constFind(slider);
    return it == Readings().cend() ? nullptr : &*it;
}

QString Number(double n)
{
    return QString::number(n, 'g', 10);
}

// A Form is a window to the screen reader, whatever its frame. Its children
// are the controls a user can meet: fields a window hides for its own
// bookkeeping (counters, bound copies) stay out, and come in when shown.
class AccessibleForm : public QAccessibleWidget {
public:
    explicit AccessibleForm(QWidget* w) : QAccessibleWidget(w, QAccessible::Window) {}

    int childCount() const override { return Controls().size(); }
    QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> controls = Controls();
        if (index < 0 || index >= controls.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(controls[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child)
            return -1;
        return Controls().indexOf(qobject_cast<QWidget*>(child->object()));
    }

private:
    QList<QWidget*> Controls() const
    {
        QList<QWidget*> controls;
        for (QObject* o : widget()->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (w && !w->isWindow() && !w->isHidden())
                controls.append(w);
        }
        return controls;
    }
};

// A slider whose value is what its position means: a screen reader that
// reads the number hears "75", one that reads the text hears "75 %".
class AccessibleSlider : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleSlider(QSlider* s) : QAccessibleWidget(s, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return SliderValueText(Slider());
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return At(Slider()->value()); }
    QVariant minimumValue() const override { return std::min(At(Slider()->minimum()), At(Slider()->maximum())); }
    QVariant maximumValue() const override { return std::max(At(Slider()->minimum()), At(Slider()->maximum())); }
    QVariant minimumStepSize() const override
    {
        const QSlider* s = Slider();
        return s->minimum() == s->maximum() ? 0.0 : std::abs(At(s->minimum() + s->singleStep()) - At(s->minimum()));
    }
    // A value set by the screen reader moves the slider to the nearest position.
    void setCurrentValue(const QVariant& value) override
    {
        QSlider* s = Slider();
        const double wanted = value.toDouble();
        int best = s->minimum();
        for (int p = s->minimum(); p <= s->maximum(); ++p)
            if (std::abs(At(p) - wanted) < std::abs(At(best) - wanted))
                best = p;
        s->setValue(best);
    }

private:
    QSlider* Slider() const { return static_cast<QSlider*>(widget()); }
    double At(int position) const
    {
        const SliderReading* r = ReadingOf(Slider());
        return r ? r->number(position) : position;
    }
};

// The widgets' own factory is asked before ours and answers for every Qt
// class, so a control of a Qt class gets its interface put in the cache
// before anyone asks; the cache lets it go when the control is destroyed.
void Register(QAccessibleInterface* iface)
{
    QAccessible::registerAccessibleInterface(iface);
}

// On Linux Qt names a combo box by its current item and expects a label
// beside it; ours stand alone, so the name is the one given and the item is
// the value. Everything else is Qt's own interface, which stays in the cache
// (under an id no one asks for) until the control goes.
class NamedByUs : public QAccessibleInterface {
public:
    explicit NamedByUs(QAccessibleInterface* own) : own_(own), object_(own->object()) {}

    bool isValid() const override { return own_->isValid(); }
    // Asked of every interface as the cache is emptied at exit, when Qt's own
    // may already be gone; so it is answered without it.
    QObject* object() const override { return object_; }
    QWindow* window() const override { return own_->window(); }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(QAccessible::Relation match) const override
    {
        return own_->relations(match);
    }
    QAccessibleInterface* focusChild() const override { return own_->focusChild(); }
    QAccessibleInterface* childAt(int x, int y) const override { return own_->childAt(x, y); }
    QAccessibleInterface* parent() const override { return own_->parent(); }
    QAccessibleInterface* child(int index) const override { return own_->child(index); }
    int childCount() const override { return own_->childCount(); }
    int indexOfChild(const QAccessibleInterface* child) const override { return own_->indexOfChild(child); }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            const auto* w = static_cast<const QWidget*>(own_->object());
            if (w && !w->accessibleName().isEmpty())
                return w->accessibleName();
        }
        return own_->text(t);
    }
    void setText(QAccessible::Text t, const QString& text) override { own_->setText(t, text); }
    QRect rect() const override { return own_->rect(); }
    QAccessible::Role role() const override { return own_->role(); }
    QAccessible::State state() const override { return own_->state(); }
    QColor foregroundColor() const override { return own_->foregroundColor(); }
    QColor backgroundColor() const override { return own_->backgroundColor(); }
    void* interface_cast(QAccessible::InterfaceType type) override { return own_->interface_cast(type); }

protected:
    QAccessibleInterface* Own() const { return own_; }

private:
    QAccessibleInterface* own_;
    QPointer<QObject> object_;
};

// Qt's own interface with one press action added to the control's own.
class WithPress : public NamedByUs, public QAccessibleActionInterface {
public:
    WithPress(QAccessibleInterface* own, QString description, std::function<void()> press)
        : NamedByUs(own), description_(std::move(description)), press_(std::move(press))
    {
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return NamedByUs::interface_cast(type);
    }
    QStringList actionNames() const override
    {
        QStringList names{pressAction()};
        if (QAccessibleActionInterface* own = OwnActions())
            for (const QString& name : own->actionNames())
                if (name != pressAction())
                    names << name;
        return names;
    }
    QString localizedActionDescription(const QString& name) const override
    {
        if (name == pressAction())
            return description_;
        QAccessibleActionInterface* own = OwnActions();
        return own ? own->localizedActionDescription(name) : QString();
    }
    void doAction(const QString& name) override
    {
        if (name == pressAction())
            press_();
        else if (QAccessibleActionInterface* own = OwnActions())
            own->doAction(name);
    }
    QStringList keyBindingsForAction(const QString& name) const override
    {
        if (name == pressAction())
            return {QStringLiteral("Return")};
        QAccessibleActionInterface* own = OwnActions();
        return own ? own->keyBindingsForAction(name) : QStringList();
    }

private:
    QAccessibleActionInterface* OwnActions() const { return Own()->actionInterface(); }
    QString description_;
    std::function<void()> press_;
};

void WrapWithOurName(QWidget* control, const std::function<NamedByUs*(QAccessibleInterface*)>& wrap = {})
{
    QAccessibleInterface* own = QAccessible::queryAccessibleInterface(control);
    const QAccessible::Id ownId = QAccessible::uniqueId(own);
    // The cache now finds ours for the control and lets it go with the
    // control; Qt's is let go here. Whichever goes first, the other is not
    // touched again.
    Register(wrap ? wrap(own) : new NamedByUs(own));
    QObject::connect(control, &QObject::destroyed, [ownId] {
        if (QAccessible::accessibleInterface(ownId))
            QAccessible::deleteAccessibleInterface(ownId);
    });
}

QAccessibleInterface* Factory(const QString&, QObject* object)
{
    if (auto* form = qobject_cast<Form*>(object))
        return new AccessibleForm(form);
    return nullptr;
}

}  // namespace

void SetAccessible(QWidget* control, const QString& name, const QString& description)
{
    const bool first = control->accessibleName().isEmpty();
    control->setAccessibleName(name);
    if (first && qobject_cast<QComboBox*>(control))
        WrapWithOurName(control);
    if (!description.isEmpty())
        control->setAccessibleDescription(description);
}

void SetAccessible(const QList<AccessibleText>& controls)
{
    for (const AccessibleText& c : controls)
        SetAccessible(c.control, c.name, c.description);
}

void SetAccessibleAction(QWidget* control, const QString& description, std::function<void()> press)
{
    WrapWithOurName(control, [&](QAccessibleInterface* own) { return new WithPress(own, description, std::move(press)); });
}

void SetAccessibleRole(std::initializer_list<QWidget*> controls, QAccessible::Role role)
{
    for (QWidget* w : controls)
        Register(new QAccessibleWidget(w, role));
}

void SetSliderReading(QSlider* slider, SliderReading reading)
{
    const bool fresh = !Readings().contains(slider);
    Readings().insert(slider, std::move(reading));
    if (fresh) {
        QObject::connect(slider, &QObject::destroyed, [slider] { Readings().remove(slider); });
        Register(new AccessibleSlider(slider));
    }
}

QString SliderValueText(const QSlider* slider)
{
    const SliderReading* r = ReadingOf(slider);
    if (!r)
        return QString::number(slider->value());
    return Number(r->number(slider->value())) + r->unit;
}

void InstallAccessibility()
{
    QAccessible::installFactory(Factory);
}

Q_COREAPP_STARTUP_FUNCTION(InstallAccessibility)
