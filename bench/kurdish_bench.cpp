// Kurdish spoken as Kurdish, on the real eSpeak NG engines with an output that
// keeps the samples. Of a fixed sample of 500 entries of the word list (every
// 20th), the Kurdish texts:
//   kurdish spoken_as_kurdish=X/Y   spoken with no switch to English (eSpeak
//                                   NG's phonemes show none, nor a letter named)
//   kurdish seconds_per_word=X      mean spoken length a word, engine B voice 7
//       letter_names_seconds_per_word=X   the same texts handed to the English
//                                   voice as they were before: letter names
//   kurdish first_audio_ms=X        speak call to the first Kurdish samples
//                                   handed to the output, the voice switching
//                                   from English each time (worst of engines A and B)
// With a folder, also writes WAVs of a word, a paragraph and a mixed text.
//   QT_QPA_PLATFORM=offscreen ./kurdish_bench [WORDS.TSV] [DIR]
#include "audiorecorder.h"
#include "components/espeak.h"

#include <espeak-ng/speak_lib.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const QString kWord = QStringLiteral("ئاو");
const QString kParagraph = QStringLiteral(
    "ئەم فەرهەنگە وشەکانی زمانی ئینگلیزی بە کوردی دەڵێت. هەر وشەیەک مانای خۆی هەیە، "
    "و خوێنەر دەتوانێت گوێی لێ بگرێت. ئێستا کتێبێک بخوێنەوە و گوێ لە دەنگی خۆت بگرە!");
const QString kMixed = QStringLiteral(
    "The word water is ئاو in Kurdish, and a book is کتێب. Read it again: ئاو، کتێب.");

QStringList Sample(const QString& path)
{
    QFile f(path);
    QStringList out;
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < lines.size() && out.size() < 500; i += 20) {
        const QStringList cols = lines[i].split(u'\t');
        if (cols.size() >= 2 && !cols[1].trimmed().isEmpty())
            out << cols[1].trimmed();
    }
    return out;
}

int Words(const QString& text)
{
    static const QRegularExpression space(QStringLiteral("[\\s،,]+"));
    return int(text.split(space, Qt::SkipEmptyParts).size());
}

// The reading before Kurdish had a voice: the text handed to the English
// voice as it is. Run in a process of its own, which owns eSpeak NG alone.
qint64 g_samples = 0;
int Count(short*, int n, espeak_EVENT*)
{
    g_samples += n;
    return 0;
}
int LetterNames(const QString& path)
{
    if (espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0) <= 0)
        return 1;
    espeak_SetSynthCallback(Count);
    espeak_SetVoiceByName(EspeakVoiceName(7).c_str());
    espeak_SetParameter(espeakRATE, EspeakSpeedWpm(140), 0);
    int words = 0;
    for (const QString& text : Sample(path)) {
        const QByteArray utf8 = text.toUtf8();
        espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
        words += Words(text);
    }
    std::printf("%lld %d\n", static_cast<long long>(g_samples), words);
    return 0;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString words = QStringLiteral(VARIN_SOURCE_DIR "/data/words.tsv");
    QString out;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("--letter-names") && i + 1 < argc)
            return LetterNames(QString::fromLocal8Bit(argv[i + 1]));
        if (a.endsWith(QLatin1String(".tsv")))
            words = a;
        else
            out = a;
    }
    const QStringList sample = Sample(words);
    if (sample.isEmpty()) {
        std::fprintf(stderr, "kurdish_bench: no Kurdish texts in %s\n", qPrintable(words));
        return 1;
    }

    // Before: the same texts as letter names.
    QProcess before;
    before.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--letter-names"), words});
    before.waitForFinished(-1);
    const QStringList counts = QString::fromLatin1(before.readAllStandardOutput()).split(u' ');
    const double beforePerWord = counts.size() == 2 ? counts[0].toDouble() / 22050.0 / counts[1].toDouble() : -1;

    auto audio = std::make_shared<RecordingAudio>();
    EspeakEngine engine(audio);
    if (!EspeakEngine::Available()) {
        std::fprintf(stderr, "kurdish_bench: eSpeak NG could not be loaded\n");
        return 1;
    }

    int kurdish = 0;
    for (const QString& text : sample) {
        const QString ph = EspeakEngine::Phonemes(text, 7);
        if (!ph.contains(QLatin1String("(en)")) && !ph.contains(QLatin1String("tipa")) && !ph.trimmed().isEmpty())
            ++kurdish;
        else if (qEnvironmentVariableIsSet("KURDISH_BENCH_VERBOSE"))
            std::printf("kurdish not as Kurdish: %s -> %s\n", qPrintable(text), qPrintable(ph));
    }
    std::printf("kurdish spoken_as_kurdish=%d/%d\n", kurdish, int(sample.size()));

    SharedSpeech& b = engine.EngineB();
    b.SelectVoice(7);
    b.SetSpeed(140);
    EspeakEngine::WaitUntilIdle(10000);
    audio->Mark();
    int wordCount = 0;
    for (const QString& text : sample) {
        b.Speak(text);   // a new text would cut the one before it short
        EspeakEngine::WaitUntilIdle(60000);
        wordCount += Words(text);
    }
    const double perWord = audio->SinceMark().size() / 2 / 22050.0 / wordCount;
    std::printf("kurdish seconds_per_word=%.3f letter_names_seconds_per_word=%.3f words=%d\n", perWord, beforePerWord,
                wordCount);

    // Each time after an English word, so the Kurdish voice is switched to.
    std::vector<double> first, firstA;
    for (int i = 0; i < 60; ++i) {
        const bool engineA = i % 2;
        std::unique_ptr<VoiceObject> spt = engine.NewVoice();
        b.Speak(QStringLiteral("dictionary"));
        EspeakEngine::WaitUntilIdle(10000);
        audio->Mark();
        const auto t0 = Clock::now();
        if (engineA)
            spt->Speak(sample[i * 7 % sample.size()], 1);
        else
            b.Speak(sample[i * 7 % sample.size()]);
        Clock::time_point heard;
        if (audio->WaitFirstSinceMark(&heard, std::chrono::seconds(3)))
            (engineA ? firstA : first).push_back(Ms(heard - t0));
        EspeakEngine::WaitUntilIdle(10000);
    }
    const double worst = std::max(first.empty() ? -1 : *std::max_element(first.begin(), first.end()),
                                  firstA.empty() ? -1 : *std::max_element(firstA.begin(), firstA.end()));
    std::printf("kurdish first_audio_ms=%.2f first_audio_median_ms=%.2f first_audio_engine_a_median_ms=%.2f runs=%zu\n",
                worst, Median(first), Median(firstA), first.size() + firstA.size());

    if (!out.isEmpty()) {
        QDir().mkpath(out);
        const QList<std::pair<QString, QString>> wavs = {
            {QStringLiteral("word.wav"), kWord}, {QStringLiteral("paragraph.wav"), kParagraph},
            {QStringLiteral("mixed.wav"), kMixed}};
        for (const auto& [file, text] : wavs) {
            EspeakEngine::WaitUntilIdle(10000);
            audio->Mark();
            b.Speak(text);
            EspeakEngine::WaitUntilIdle(60000);
            const QByteArray pcm = audio->SinceMark();
            WriteWav(out + '/' + file, pcm, 22050);
            std::printf("kurdish wav %s seconds=%.2f phonemes=%s\n", qPrintable(file), pcm.size() / 2 / 22050.0,
                        qPrintable(EspeakEngine::Phonemes(text, 7)));
        }
    }
    return 0;
}
