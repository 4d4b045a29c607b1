// What the add-word and delete-word windows share: being shown modally over
// the dictionary window, and closing on Escape from any of their controls.
#pragma once

#include <QString>
#include <functional>
#include <initializer_list>

class QWidget;

// Shows the window modal over every other and returns once it is hidden
// again (or destroyed, or the program quits). Other windows' timers keep
// ticking meanwhile.
void ShowModally(QWidget* window);

// Tests install their own way of showing, so that opening a window does not
// wait for it to close; empty restores the real one.
using ModalShower = std::function<void(QWidget*)>;
void SetModalShower(ModalShower shower);

// Key Escape in any of the widgets runs close, whatever shift state is held;
// every other key goes on as usual.
void CloseOnEscape(std::initializer_list<QWidget*> widgets, std::function<void()> close);

// A line of the window's layout: a Latin label at the left end and its Kurdish
// counterpart at the right end, above a field across the whole width.
void PlaceLabelPair(QWidget* latin, QWidget* kurdish, int topTwips, int clientWidthTwips);
