#include "application.h"

#include "runtime.h"

static void InitResources()
{
    // The pictures and the skin live in the core library, which is static.
    Q_INIT_RESOURCE(resources);
}

VarinApplication::VarinApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    InitResources();
    setApplicationName(QStringLiteral("Varin Dictionary"));
    setWindowIcon(QIcon(QStringLiteral(":/images/icon.png")));
}

bool VarinApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportUnguardedFailure("event", QString::fromUtf8(e.what()));
    } catch (...) {
        ReportUnguardedFailure("event", QStringLiteral("unknown failure"));
    }
    return false;
}

bool DisplayAvailable()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return true;
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

QByteArray ChoosePlatform(const QByteArray& chosen, const QByteArray& x11Display, const QByteArray& waylandDisplay)
{
    if (!chosen.isEmpty() || x11Display.isEmpty() || waylandDisplay.isEmpty())
        return {};
    return QByteArrayLiteral("xcb");
}
