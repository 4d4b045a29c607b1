// Loads a 10 MB UTF-8 text into the reader through its open button and reads
// a 1 MB text aloud, printing how long each takes:
//   reader load_ms=X          open pressed to the text painted in the window
//   reader load_longest_stall_ms=X   the longest the window went unanswering meanwhile
//   reader load_cpu_ms=X      processor time of the load, all threads (steady on a busy machine)
//   reader first_audio_ms=X   read pressed to the first sound of engine B, 1 MB of text
//   reader first_audio_engine_a_ms=X   the same with engine A
//   reader speak_call_ms=X    how long the read button holds the window
// Run on the offscreen platform:  QT_QPA_PLATFORM=offscreen ./reader_bench
#include "audiorecorder.h"
#include "components/espeak.h"
#include "dictionary/texts.h"
#include "reader/commondialog.h"
#include "reader/varin3.h"
#include "runtime/forms.h"

#include <QApplication>
#include <QComboBox>
#include <chrono>
#include <utility>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

// Processor time of the whole process, all threads: what the load cost,
// without the time other programs on a loaded machine had the processor.
double ProcessCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

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
    const double cpu0 = ProcessCpuMs();
    t.start();
    sinceTick.start();
    ticker.start(10);
    // The window's own event loop runs meanwhile, idle but for the ticker.
    QEventLoop waiting;
    QObject::connect(&reader, &Varin3::LoadFinished, &waiting, &QEventLoop::quit);
    reader.cmdopen->click();
    if (reader.Loading())
        waiting.exec();
    reader.Text1->viewport()->repaint();
    QApplication::processEvents();
    const qint64 loadMs = t.elapsed();
    const double loadCpuMs = ProcessCpuMs() - cpu0;
    longestStall = std::max(longestStall, sinceTick.elapsed());
    ticker.stop();
    if (reader.Text1->document()->characterCount() < 1000000) {
        std::fprintf(stderr, "the book did not load\n");
        return 1;
    }
    std::printf("reader load_ms=%lld\n", static_cast<long long>(loadMs));
    std::printf("reader load_longest_stall_ms=%lld\n", static_cast<long long>(longestStall));
    std::printf("reader load_cpu_ms=%.0f\n", loadCpuMs);

    // The voice list as the dictionary window fills it.
    QStringList voices{QStringLiteral("Microsoft Sam")};
    for (int voice = 1; voice <= 18; ++voice)
        voices << Varin2Text::kVoicePrefix + QString::number(voice);
    reader.Combo4->addItems(voices);
    reader.Combo1->addItems({QStringLiteral("184"), QStringLiteral("204")});
    reader.Combo1->setCurrentIndex(1);
    reader.Text1->setPlainText(QString::fromUtf8(Book(1024 * 1024)));
    using Clock = std::chrono::steady_clock;
    auto audio = std::make_shared<RecordingAudio>();
    SetSpeech(std::make_unique<EspeakEngine>(audio));
    if (!EspeakEngine::Available()) {
        std::printf("reader first_audio_ms=n/a (the eSpeak NG library could not be loaded)\n");
    } else {
        // Engine B (voice 7), then engine A: from the read button to the
        // first samples handed to the sound output.
        for (const auto& [item, name] : {std::pair{7, "first_audio_ms"}, std::pair{0, "first_audio_engine_a_ms"}}) {
            reader.Combo4->setCurrentIndex(item);
            audio->Mark();
            const auto t0 = Clock::now();
            reader.cmdspeak->click();
            const double callMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
            Clock::time_point heard;
            bool ok = false;
            while (!(ok = audio->FirstSinceMark(&heard)) && Clock::now() - t0 < std::chrono::seconds(5))
                QApplication::processEvents(QEventLoop::AllEvents, 1);
            if (ok)
                std::printf("reader %s=%.1f\n", name,
                            std::chrono::duration<double, std::milli>(heard - t0).count());
            else
                std::printf("reader %s=n/a (no audio within 5 s)\n", name);
            std::printf("reader speak_call_ms=%.1f\n", callMs);
            reader.cmdpause->click();   // stop
        }
    }
    SetSpeech(nullptr);
    forms().Unload();
    return 0;
}
