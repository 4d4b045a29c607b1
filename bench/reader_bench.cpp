// Loads a 10 MB UTF-8 text into the reader through its open button and reads
// a 1 MB text aloud, printing how long each takes:
//   reader load_ms=X          open pressed to the text painted in the window
//   reader load_longest_stall_ms=X   the longest the window went unanswering meanwhile
//   reader load_cpu_ms=X      processor time of the load, all threads (steady on a busy machine)
//   reader first_audio_ms=X   read pressed to the first sound of engine B, 1 MB of text
//   reader first_audio_engine_a_ms=X   the same with engine A
//   reader speak_call_ms=X    how long the read button holds the window
//   reader highlight_lag_ms p99=X    a word's first sample heard to its highlight painted, both engines
//   reader lookup_popup_ms p99=X     a double-click on a word to the word window painted with its entries
// Run from the folder that holds Data/DataBase.mdb (build/bin), on the
// offscreen platform:  QT_QPA_PLATFORM=offscreen ./reader_bench
#include "audiorecorder.h"
#include "components/espeak.h"
#include "dictionary/texts.h"
#include "dictionary/varin2.h"
#include "reader/commondialog.h"
#include "reader/highlight.h"
#include "reader/varin3.h"
#include "reader/wordpopup.h"
#include "runtime/forms.h"

#include <QApplication>
#include <QComboBox>
#include <chrono>
#include <utility>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMutex>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTableView>
#include <QTest>
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

// A sound card that plays in real time: what is written is heard at the
// sample rate from the moment the stream starts, and a stream that runs dry
// goes on where the next samples come. Held streams stand still.
class RealTimeAudio : public AudioOutput {
    class Stream : public AudioStream {
    public:
        explicit Stream(int rate) : rate_(rate) {}
        void Write(const qint16*, int count) override
        {
            QMutexLocker lock(&mutex_);
            Advance();
            written_ += count;
        }
        int QueuedMs() const override
        {
            QMutexLocker lock(&mutex_);
            Advance();
            return int((written_ - played_) * 1000 / rate_);
        }
        void Discard() override
        {
            QMutexLocker lock(&mutex_);
            played_ = written_;
        }
        void Hold(bool held) override
        {
            QMutexLocker lock(&mutex_);
            Advance();
            held_ = held;
        }

    private:
        void Advance() const
        {
            const auto now = std::chrono::steady_clock::now();
            if (!held_) {
                const qint64 due = std::chrono::duration_cast<std::chrono::microseconds>(now - last_).count()
                                   * rate_ / 1000000;
                played_ = std::min(written_, played_ + due);
            }
            last_ = now;
        }
        const int rate_;
        mutable QMutex mutex_;
        mutable qint64 written_ = 0, played_ = 0;
        mutable std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
        bool held_ = false;
    };

public:
    std::unique_ptr<AudioStream> Open(int sampleRate) override { return std::make_unique<Stream>(sampleRate); }
};

// Calls `paint` after each paint of the widget.
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget* w, std::function<void()> paint) : paint_(std::move(paint)) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            QMetaObject::invokeMethod(this, paint_, Qt::QueuedConnection);   // once the paint is done
        return false;
    }

private:
    std::function<void()> paint_;
};

double Quantile(std::vector<double> v, double q)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
}
double P99(const std::vector<double>& v)
{
    return Quantile(v, 0.99);
}

const char kParagraph[] =
    "A learner reads a page aloud and follows each word as it is heard. The reader marks the word that the voice "
    "says, so the eye and the ear meet on the same place of the text. Short words and long ones come one after "
    "another, with commas, full stops and questions between them: does the mark keep up with the voice? It "
    "should, at every speed, from the slowest to the fastest, and after a pause it should wait where the voice "
    "waits. When the reading ends, the mark goes away, and the text is as it was.";

// Reads the paragraph with the voice list's item and gives, for every word
// highlighted, the time from its first sample heard to its highlight painted.
std::vector<double> HighlightLags(Varin3& reader, int item)
{
    reader.Text1->setPlainText(QString::fromLatin1(kParagraph));
    reader.Combo4->setCurrentIndex(item);
    reader.Slider1->setValue(20);   // the fastest: the most words a second
    std::vector<double> lags;
    Span painted;
    PaintWatch watch(reader.Text1->viewport(), [&] {
        const Span shown = reader.Highlight1->Shown();
        if (shown.length == 0 || shown == painted)
            return;
        painted = shown;
        lags.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now()
                                                                 - reader.Highlight1->LastHeard().heard)
                           .count());
    });
    reader.cmdspeak->click();
    QElapsedTimer t;
    t.start();
    // Until the end of the text took the highlight away.
    bool began = false;
    while (t.elapsed() < 60000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        const bool shown = reader.Highlight1->Shown().length > 0;
        if (began && !shown && lags.size() > 10)
            break;
        began = began || shown;
    }
    reader.cmdpause->click();
    return lags;
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

    // The highlight, with a sound card that plays in real time.
    auto speaker = std::make_shared<RealTimeAudio>();
    SetSpeech(std::make_unique<EspeakEngine>(speaker));
    if (EspeakEngine::Available()) {
        std::vector<double> lags = HighlightLags(reader, 7);
        const std::vector<double> lagsA = HighlightLags(reader, 0);
        std::printf("reader highlight_lag_ms engine=B words=%zu p99=%.1f\n", lags.size(), P99(lags));
        std::printf("reader highlight_lag_ms engine=A words=%zu p99=%.1f\n", lagsA.size(), P99(lagsA));
        lags.insert(lags.end(), lagsA.begin(), lagsA.end());
        std::printf("reader highlight_lag_ms p50=%.1f p99=%.1f\n", Quantile(lags, 0.5), P99(lags));
    } else {
        std::printf("reader highlight_lag_ms p99=n/a (the eSpeak NG library could not be loaded)\n");
    }
    SetSpeech(nullptr);

    // The word window, over the dictionary's word file.
    Varin2& dictionary = forms().Varin2();
    const int entries = dictionary.Data1->RecordCount();
    const QString text = QString::fromLatin1(kParagraph)
                         + QStringLiteral("\nئەمە دەقێکی کوردییە بۆ خوێندنەوە، وشەکانی لە فەرهەنگدا دەدۆزرێنەوە و دەگوترێن.");
    reader.Text1->setPlainText(text);
    reader.Text1->verticalScrollBar()->setValue(0);
    WordPopup& popup = *reader.WordPopup1;
    bool painted = false;
    PaintWatch watch(popup.Entries->viewport(), [&] { painted = true; });
    PaintWatch noticeWatch(popup.Notice, [&] { painted = true; });
    std::vector<double> popupMs;
    int found = 0;
    for (int round = 0; round < 5; ++round) {
        for (qsizetype at = 0; at < text.size(); ++at) {
            if (!text[at].isLetter() || (at > 0 && text[at - 1].isLetter()))
                continue;   // one click a word, on its first letter
            QTextCursor c(reader.Text1->document());
            c.setPosition(int(at));
            const QRect r = reader.Text1->cursorRect(c);
            if (!reader.Text1->viewport()->rect().contains(r))
                continue;
            painted = false;
            QElapsedTimer t;
            t.start();
            QTest::mouseDClick(reader.Text1->viewport(), Qt::LeftButton, {}, r.center() + QPoint(3, 0));
            while (!painted && t.elapsed() < 2000)
                QApplication::processEvents(QEventLoop::AllEvents, 1);
            if (painted) {
                popupMs.push_back(double(t.nsecsElapsed()) / 1e6);
                found += popup.Entries->isVisible();
            }
            popup.close();
            QApplication::processEvents();
        }
    }
    std::printf("reader lookup_popup_ms entries=%d lookups=%zu with_entries=%d p50=%.1f p99=%.1f\n", entries,
                popupMs.size(), found, Quantile(popupMs, 0.5), P99(popupMs));
    forms().Unload();
    return 0;
}
