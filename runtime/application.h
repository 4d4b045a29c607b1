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

// The platform to ask Qt for, or empty to let it choose. On a Wayland
// desktop a program may read the clipboard only while it has the focus,
// which would stop the capture of words copied in other programs; where an
// X server runs beside it (Xwayland), the program runs on that instead. A
// platform the user chose is kept.
QByteArray ChoosePlatform(const QByteArray& chosen, const QByteArray& x11Display, const QByteArray& waylandDisplay);
