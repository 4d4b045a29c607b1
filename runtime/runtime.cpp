#include "runtime.h"

#include "startup/module1.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <limits>

RuntimeError::RuntimeError(const QString& what) : std::runtime_error(what.toStdString()) {}

void ResumeNext(std::initializer_list<std::function<void()>> steps)
{
    for (const auto& step : steps) {
        try {
            step();
        } catch (const std::exception&) {
            // skipped by design: the handler goes on with its next step
        }
    }
}

bool ResumeNextTest(const std::function<bool()>& test)
{
    try {
        return test();
    } catch (const std::exception&) {
        return true;
    }
}

void ReportUnguardedFailure(const char* handler, const QString& what)
{
    const QString prompt =
        QStringLiteral("هەڵەیەک ڕوویدا؛ بەرنامەکە بەردەوام دەبێت و هیچ وشەیەک لەدەست نەچوو.\n%1\n\n"
                       "An error occurred in %2: %1\nThe program goes on; no data was lost.")
            .arg(what, QString::fromLatin1(handler));
    UnicodeMsgBox(prompt, kMbRtlReading | kMbIconError, QString(), QString(), -1);
}

void Unguarded(const char* handler, const std::function<void()>& body)
{
    try {
        body();
    } catch (const std::exception& e) {
        ReportUnguardedFailure(handler, QString::fromUtf8(e.what()));
    }
}

void PlaceTwips(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

void CentreOnScreen(QWidget* window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

FormTimer::FormTimer(QObject* parent, int interval) : QObject(parent)
{
    connect(&timer_, &QTimer::timeout, this, &FormTimer::Fire);
    setInterval(interval);
}

void FormTimer::setInterval(int ms)
{
    interval_ = ms > 0 ? ms : 0;
    if (interval_ > 0)
        timer_.start(interval_);
    else
        timer_.stop();
}

void FormTimer::Fire()
{
    if (inTick_)
        return;
    QScopedValueRollback<bool> guard(inTick_, true);
    emit Timer();
}

void FormLabel::setCaption(const QString& caption)
{
    if (caption == text())
        return;
    setText(caption);
    emit Change();
}

void SkinComponent::ApplySkin(QWidget* window) const
{
    static const QString sheet = [] {
        QFile f(QStringLiteral(":/skin/varin.qss"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }();
    window->setAttribute(Qt::WA_StyledBackground);
    window->setStyleSheet(sheet);
}

QFont KurdishFont(double pointSize, bool bold)
{
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const char* name : {"Tahoma-K", "Unikurd Web", "Noto Naskh Arabic"})
            if (installed.contains(QString::fromLatin1(name)))
                return QString::fromLatin1(name);
        return QString();
    }();
    QFont f;
    if (!family.isEmpty())
        f.setFamily(family);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

double LeadingValue(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*([+-]?(\\d+\\.?\\d*|\\.\\d+))"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return 0;
    // Too many digits overflow to an infinity and too small a fraction
    // underflows to 0; either is the number's right reading here.
    return m.captured(1).toDouble();
}

int LeadingNumber(const QString& text)
{
    const double n = std::nearbyint(LeadingValue(text));
    return static_cast<int>(std::clamp<double>(n, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
