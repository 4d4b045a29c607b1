// Loads a 10 MB UTF-8 text into the reader through its open button and reads
// a 1 MB text aloud, printing how long each takes:
//   reader load_ms=X          open pressed to the text painted in the window
//   reader load_longest_stall_ms=X   the longest the window went unanswering meanwhile
//   reader speak_call_ms=X    how long the read button holds the window with 1 MB
//   reader first_audio_ms=X   read pressed to the first sound of the engine
// Run on the offscreen platform:  QT_QPA_PLATFORM=offscreen ./reader_bench
#include "reader/commondialog.h"
#include "reader/varin3.h"
#include "runtime/forms.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

// Lines of Kurdish and English prose, as a book would have them, to `bytes`.
QByteArray Book(qsizetype bytes)
{
    const QByteArray lines[] = {
        QStringLiteral("ئەمە دەقێکی کوردییە بۆ تاقیکردنەوەی خوێنەرەوەی دەق، بە پیتی عەرەبی.\n").toUtf8(),
        QByteArray("The reader loads a long book and reads all of it aloud, piece by piece.\n"),
        QStringLiteral("په\u200Cرتووكى كوردى به\u200C ڕێنووسى كۆن: هه\u200Cموو ووشه\u200Cكان.\n").toUtf8(),
        QByteArray("\n"),
    };
    QByteArray out;
    out.reserve(bytes + 256);
    for (int i = 0; out.size() < bytes; ++i)
        out += lines[i % 4];
    out.truncate(bytes);
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.txt"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(Book(10 * 1024 * 1024)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    SetFileDialogPresenter([&path](const FileDialogCall&) { return path; });

    Varin3& reader = forms().Varin3();
    reader.show();
    QApplication::processEvents();

    // A timer that should tick every 10 ms shows how long the window is
    // kept from answering while the book loads.
    QElapsedTimer t, sinceTick;
    qint64 longestStall = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestStall = std::max(longestStall, sinceTick.restart());
    });
    t.start();
    sinceTick.start();
    ticker.start(10);
    reader.cmdopen->click();
    while (reader.Loading())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    reader.Text1->viewport()->repaint();
    QApplication::processEvents();
    const qint64 loadMs = t.elapsed();
    longestStall = std::max(longestStall, sinceTick.elapsed());
    ticker.stop();
    if (reader.Text1->document()->characterCount() < 1000000) {
        std::fprintf(stderr, "the book did not load\n");
        return 1;
    }
    std::printf("reader load_ms=%lld\n", static_cast<long long>(loadMs));
    std::printf("reader load_longest_stall_ms=%lld\n", static_cast<long long>(longestStall));

    reader.Text1->setPlainText(QString::fromUtf8(Book(1024 * 1024)));
    reader.Combo4->addItems({QStringLiteral("Microsoft Sam"), QStringLiteral("voice 1")});
    reader.Combo4->setCurrentIndex(1);
    t.restart();
    reader.cmdspeak->click();
    std::printf("reader speak_call_ms=%lld\n", static_cast<long long>(t.elapsed()));
    std::printf("reader first_audio_ms=n/a (needs the eSpeak NG engine)\n");
    forms().Unload();
    return 0;
}
