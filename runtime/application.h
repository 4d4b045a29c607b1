#pragma once

#include <QApplication>

// The application object. Whatever a handler lets escape is caught where the
// event is dispatched and reported; the program keeps running.
class VarinApplication : public QApplication {
public:
    VarinApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// True when a window can be shown: some display to talk to, or a platform
// that needs none (offscreen, for tests).
bool DisplayAvailable();
