// How soon a new entry is heard and what speaking costs the window, measured
// on the real dictionary window with the eSpeak NG engines and an output that
// keeps the samples; then one WAV file of every voice-list item, of the speed
// extremes and of the pitch extremes, written from those same samples.
//   QT_QPA_PLATFORM=offscreen ./speech_bench DIR
#include "audiorecorder.h"
#include "components/espeak.h"
#include "dictionary/varin2.h"
#include "runtime/application.h"
#include "runtime/forms.h"
#include "testkit.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QSlider>
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// Processor time of the calling thread: what it spent working, without the
// time other programs on a loaded machine had the processor.
double ThreadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

const QList<Pair> kWords = {
    {"dictionary", "فەرهەنگ"}, {"word", "وشە"},     {"language", "زمان"}, {"book", "کتێب"},
    {"house", "خانوو"},        {"school", "قوتابخانە"}, {"water", "ئاو"},   {"friend", "هاوڕێ"},
};

double Worst(std::vector<double> v) { return v.empty() ? -1 : *std::max_element(v.begin(), v.end()); }
double Median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Quietly(QLineEdit* field, const QString& text)
{
    const bool was = field->blockSignals(true);
    field->setText(text);
    field->blockSignals(was);
}

// Speaks "dictionary" (or the given word) through the window's own handlers
// with the chosen list items and writes what was heard.
bool Record(Varin2& w, RecordingAudio& audio, const QString& file, int voice, int pitchIndex, int speed)
{
    w.Slider1->setValue(speed);
    w.Combo1->setCurrentIndex(pitchIndex);
    w.Combo4->setCurrentIndex(voice);
    Quietly(w.Text2, QStringLiteral("dictionary"));
    EspeakEngine::WaitUntilIdle(10000);
    audio.Mark();
    w.Combo4_Click();
    if (voice == 0)
        w.Timer0->Fire();   // engine A speaks from the timer
    EspeakEngine::WaitUntilIdle(10000);
    const QByteArray pcm = audio.SinceMark();
    const bool ok = !pcm.isEmpty() && WriteWav(file, pcm, 22050);
    std::printf("speech wav %s seconds=%.2f rms=%.0f\n", qPrintable(QFileInfo(file).fileName()),
                pcm.size() / 2 / 22050.0, Rms(pcm));
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    VarinApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: speech_bench DIR\n");
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(out);

    auto audio = std::make_shared<RecordingAudio>();
    SetSpeech(std::make_unique<EspeakEngine>(audio));
    if (!EspeakEngine::Available()) {
        std::fprintf(stderr, "speech_bench: eSpeak NG could not be loaded\n");
        return 1;
    }
    DataFolder folder(kWords);
    Varin2& w = forms().Varin2();
    w.Timer1->setInterval(0);
    Quietly(w.Text, QStringLiteral("d"));

    // From a move of the cursor to the first samples handed to the output, for
    // engine B (voice 7) and engine A (item 0); and the longest one
    // pronunciation keeps the window's thread.
    std::vector<double> first, block, blockWall;
    const int runs = 60;
    for (int voice : {7, 0}) {
        w.Combo4->setCurrentIndex(voice);
        w.Slider1->setValue(3);
        for (int i = 0; i < runs; ++i) {
            EspeakEngine::WaitUntilIdle(10000);
            audio->Mark();
            const int row = (i + 1) % w.Data1->RowCount();
            const auto t0 = Clock::now();
            w.Data1->MoveTo(row);   // the entry changes: its English is pronounced
            Clock::time_point heard;
            if (audio->WaitFirstSinceMark(&heard, std::chrono::seconds(3)))
            {
                first.push_back(Ms(heard - t0));
                if (qEnvironmentVariableIsSet("SPEECH_BENCH_VERBOSE"))
                    std::printf("speech run voice=%d i=%d first_audio_ms=%.2f\n", voice, i, first.back());
            }
            else
                std::printf("speech no audio for row %d voice %d\n", row, voice);
            EspeakEngine::WaitUntilIdle(10000);
            const auto p0 = Clock::now();
            const double c0 = ThreadCpuMs();
            w.PronounceCurrentWord();
            block.push_back(ThreadCpuMs() - c0);
            blockWall.push_back(Ms(Clock::now() - p0));
            app.processEvents();
        }
    }
    std::printf("speech first_audio_ms=%.2f\n", Worst(first));
    std::printf("speech first_audio_median_ms=%.2f\n", Median(first));
    std::printf("speech ui_block_ms=%.3f\n", Worst(block));
    std::printf("speech ui_block_median_ms=%.3f\n", Median(block));
    std::printf("speech ui_block_wall_max_ms=%.3f ui_block_wall_median_ms=%.3f\n", Worst(blockWall), Median(blockWall));

    // The reader's case: a text of a megabyte starts at once and stops at once.
    {
        QString text;
        while (text.size() < 1 << 20)
            text += QStringLiteral("A dictionary lists the words of a language, and each entry gives its meaning. ");
        EspeakEngine::WaitUntilIdle(10000);
        audio->Mark();
        SharedSpeech& b = Speech().EngineB();
        const double c0 = ThreadCpuMs();
        const auto t0 = Clock::now();
        b.Speak(text);
        const double callWall = Ms(Clock::now() - t0);
        const double call = ThreadCpuMs() - c0;
        Clock::time_point heard;
        const bool got = audio->WaitFirstSinceMark(&heard, std::chrono::seconds(3));
        const auto s0 = Clock::now();
        b.Stop();
        const double stop = Ms(Clock::now() - s0);
        EspeakEngine::WaitUntilIdle(10000);
        const double settled = Ms(Clock::now() - s0);
        std::printf("speech long_text_first_audio_ms=%.2f speak_call_ms=%.3f speak_call_wall_ms=%.3f stop_call_ms=%.3f "
                    "stop_settled_ms=%.2f seconds_made=%.1f\n",
                    got ? Ms(heard - t0) : -1.0, call, callWall, stop, settled, audio->SinceMark().size() / 2 / 22050.0);
    }

    bool ok = true;
    for (int voice = 0; voice <= 18; ++voice)
        ok &= Record(w, *audio, out + QStringLiteral("/voice-%1.wav").arg(voice), voice, 12, 3);
    ok &= Record(w, *audio, out + QStringLiteral("/speed-1.wav"), 7, 12, 1);
    ok &= Record(w, *audio, out + QStringLiteral("/speed-5.wav"), 7, 12, 5);
    ok &= Record(w, *audio, out + QStringLiteral("/pitch-84.wav"), 7, 0, 3);
    ok &= Record(w, *audio, out + QStringLiteral("/pitch-334.wav"), 7, 25, 3);

    forms().Unload();
    SetSpeech(nullptr);
    return ok ? 0 : 1;
}
