// Windows are created on first reference: forms().Varin2() creates the one
// dictionary window hidden, runs its load handler and only then returns it.
// The program starts by asking for forms().Varin0(), the splash.
#pragma once

#include <QPointer>
#include <QWidget>

class Varin0;
class Varin1;
class Varin2;
class Varin3;
class Varin4;
class Varin5;

// A window of the program. A control that lies wholly outside the window's
// client area (the about window's right panel while the window is narrow)
// cannot be seen, so it is out of reach as well: it takes no focus, and so
// no key, and a screen reader does not meet it, until the window or the
// control moves so that some of it shows.
class Form : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    // Runs the load handler, once per window.
    void Load();
    bool IsLoaded() const { return loaded_; }

protected:
    virtual void Form_Load() {}
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void KeepInReach(QWidget* control);

    bool loaded_ = false;
};

// True for a control of a window that shows no part of it there.
bool OutsideWindow(const QWidget* control);

class Forms {
public:
    ::Varin0& Varin0();
    // The about window is destroyed when it closes; the next reference
    // creates and loads a fresh one.
    ::Varin1& Varin1();
    ::Varin2& Varin2();
    ::Varin3& Varin3();
    ::Varin4& Varin4();
    ::Varin5& Varin5();
    bool IsLoaded(const char* formName) const;
    // Ends every window; tests start each case from a fresh program state.
    void Unload();

private:
    ::Varin0* varin0_ = nullptr;
    QPointer<::Varin1> varin1_;
    ::Varin2* varin2_ = nullptr;
    ::Varin3* varin3_ = nullptr;
    ::Varin4* varin4_ = nullptr;
    ::Varin5* varin5_ = nullptr;
};

Forms& forms();
