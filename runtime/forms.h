// Windows are created on first reference: forms().Varin2() creates the one
// dictionary window hidden, runs its load handler and only then returns it.
// The program starts by asking for forms().Varin0(), the splash.
#pragma once

#include <QWidget>

class Varin0;
class Varin2;

class Form : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    // Runs the load handler, once per window.
    void Load();
    bool IsLoaded() const { return loaded_; }

protected:
    virtual void Form_Load() {}

private:
    bool loaded_ = false;
};

class Forms {
public:
    ::Varin0& Varin0();
    ::Varin2& Varin2();
    bool IsLoaded(const char* formName) const;
    // Ends every window; tests start each case from a fresh program state.
    void Unload();

private:
    ::Varin0* varin0_ = nullptr;
    ::Varin2* varin2_ = nullptr;
};

Forms& forms();
