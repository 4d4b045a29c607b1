// What a screen reader is told about the windows. Each window names its
// controls in one place (its texts.h table of names and a loop at the end of
// its BuildControls); this layer reports every Form as a window, keeps the
// explicitly hidden helper fields out of the tree, and lets a slider speak
// what its position means instead of its raw number.
#pragma once

#include <QAccessible>
#include <QList>
#include <QString>
#include <functional>
#include <initializer_list>

class QSlider;
class QWidget;

// The name a screen reader speaks for a control and, when given, its
// description (otherwise the tooltip serves as the description).
struct AccessibleText {
    QWidget* control;
    QString name;
    QString description = {};
};
void SetAccessible(QWidget* control, const QString& name, const QString& description = {});
void SetAccessible(const QList<AccessibleText>& controls);

// Gives a control a press action that a screen reader can carry out (the one
// a double-click or Enter carries out for the mouse and the keyboard), with
// the description it reads for it. The control's own actions stay.
void SetAccessibleAction(QWidget* control, const QString& description, std::function<void()> press);

// The role of a control that Qt cannot tell by its class (a picture drawn by
// a widget of our own is a graphic, not an empty client area). This and the
// slider's reading are given as the control is built, before a screen
// reader first reaches it.
void SetAccessibleRole(std::initializer_list<QWidget*> controls, QAccessible::Role role);

// What a slider's position means: a number (spoken as the slider's value,
// its range being the numbers of its first and last positions) and the unit
// that follows it in the value's text ("75 %").
struct SliderReading {
    std::function<double(int)> number;
    QString unit;
};
void SetSliderReading(QSlider* slider, SliderReading reading);
// A slider whose position is itself the number to speak (a speed).
inline SliderReading PositionReading()
{
    return {[](int position) { return double(position); }, QString()};
}
// The text a screen reader gets for the slider's value now.
QString SliderValueText(const QSlider* slider);

// Installs the factory that makes every Form a window. Runs by itself when
// the application object is made; calling it again does nothing.
void InstallAccessibility();
