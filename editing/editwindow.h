// What the add-word and delete-word windows share: being shown modally over
// the dictionary window, refusing to be closed by the window system, closing
// on Escape from any of their controls, and the look of their controls.
#pragma once

#include "runtime/forms.h"

#include <QString>
#include <functional>
#include <initializer_list>

class QCloseEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Both windows are hidden, never closed: every close request of the window
// system goes to Form_QueryUnload, which refuses it.
class EditWindow : public Form {
    Q_OBJECT
public:
    EditWindow();
    virtual void Form_QueryUnload(bool& cancel);

protected:
    void closeEvent(QCloseEvent* event) override;
};

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

// The controls of both windows, in twips of the 9105-twip-wide client area.
constexpr int kEditWindowWidth = 9105;
QLabel* MakeEditLabel(QWidget* parent, const QString& text, Qt::Alignment align);
QLineEdit* MakeEditField(QWidget* parent, int top, bool bold);   // across the whole width
QPushButton* MakeEditButton(QWidget* parent, const QString& caption, const QString& tip, int left, int width);

// A line of the window's layout: a Latin label at the left end and its Kurdish
// counterpart at the right end, above a field across the whole width.
void PlaceLabelPair(QWidget* latin, QWidget* kurdish, int topTwips, int clientWidthTwips);
