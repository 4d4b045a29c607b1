// The form-and-event layer the windows are written against: failures that a
// handler may skip, twips, timers with the run time's tick rules, labels with
// a change event, the skin step and the shared fonts.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <initializer_list>
#include <stdexcept>

class QWidget;

// Every failure a component reports to a handler is one of these.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(const QString& what);
    QString message() const { return QString::fromUtf8(what()); }
};

// Runs each step in turn; a step that throws is skipped without a word and
// the next one runs. Handlers that tolerate failing steps are written this way.
void ResumeNext(std::initializer_list<std::function<void()>> steps);

// The test of a conditional step in such a handler: a test that throws counts
// as true, so the body runs.
bool ResumeNextTest(const std::function<bool()>& test);

// Runs a handler that guards nothing. Where the old run time would have ended
// the program, we report the failure in a message box and carry on, so no
// window state or word is lost to one bad event.
void Unguarded(const char* handler, const std::function<void()>& body);

// What Unguarded shows; exposed so the last-resort catch in the application
// object reports the same way.
void ReportUnguardedFailure(const char* handler, const QString& what);

// Positions and sizes come in twips: 15 to a pixel, rounded to the nearest
// pixel on either side of 0 (a banner that starts above the window must sit
// where its own height says, and a picture scrolling past 0 must not hitch).
// Fifteen is odd, so no value lies halfway between two pixels.
constexpr int Twips(int twips)
{
    const int shifted = twips + 7;
    return shifted >= 0 ? shifted / 15 : -((-shifted + 14) / 15);
}
void PlaceTwips(QWidget* w, int left, int top, int width, int height);

// Places a window without an owner in the middle of the screen.
void CentreOnScreen(QWidget* window);

// A timer with an Interval: 0 disarms it, anything else (re)arms it. A tick is
// never delivered while the previous tick of the same timer still runs (a modal
// box opened inside a tick would otherwise let QTimer re-enter it), while other
// timers keep ticking. Fire() delivers one tick at once, for tests.
class FormTimer : public QObject {
    Q_OBJECT
public:
    explicit FormTimer(QObject* parent = nullptr, int interval = 0);
    int Interval() const { return interval_; }
    void setInterval(int ms);
    bool Armed() const { return interval_ > 0; }
    void Fire();

signals:
    void Timer();

private:
    QTimer timer_;
    int interval_ = 0;
    bool inTick_ = false;
};

// A label whose caption change is an event, as the windows rely on.
class FormLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    QString Caption() const { return text(); }
    void setCaption(const QString& caption);

signals:
    void Change();
};

// The skin component: every window hands itself over at load and wears the
// program's one style sheet.
class SkinComponent {
public:
    void ApplySkin(QWidget* window) const;
};

// "Tahoma-K" where installed; otherwise the Kurdish fonts the program installs.
QFont KurdishFont(double pointSize, bool bold = false);

// The number at the start of a text that may carry more, as it stands: one
// too large for a double is infinite; 0 when there is none.
double LeadingValue(const QString& text);

// Whole-number reading of the same: rounded, and held within int (a number
// beyond it reads as the nearest end, never wrapped round to a small one).
int LeadingNumber(const QString& text);
