#include "sorani.h"

#include <vector>

namespace {

constexpr char16_t kZwnj = 0x200C, kZwj = 0x200D, kTatweel = 0x0640;

// A letter of a word, as far as the letter alone tells.
enum class Letter {
    kVowel,       // ا ە ێ ۆ, and the vowel e of ة and of the older ه
    kConsonant,
    kWaw,         // و: w, u or û
    kYeh,         // ی: y or î
    kHamza,       // ئ: silent at a word's start, a glottal stop inside one
    kHeh,         // ه: h, or at a word's end in the older spelling e
};

struct Raw {
    Letter letter;
    const char16_t* latin;   // for vowels and consonants
    int sonority;
};

// How far a consonant carries on its own, from stops (1) to glides (5): a
// syllable may end in two consonants only when the second is the weaker, as
// in dest, kurd, bend, hewt.
constexpr int kStop = 1, kFricative = 2, kNasal = 3, kLiquid = 4, kGlide = 5;

bool Classify(char16_t c, Raw* raw)
{
    struct Entry {
        char16_t c;
        Letter letter;
        const char16_t* latin;
        int sonority;
    };
    static const Entry kTable[] = {
        {0x0627, Letter::kVowel, u"a", 0},        // ا
        {0x0622, Letter::kVowel, u"a", 0},        // آ
        {0x0623, Letter::kVowel, u"e", 0},        // أ, in Arabic words
        {0x0625, Letter::kVowel, u"i", 0},        // إ
        {0x06D5, Letter::kVowel, u"e", 0},        // ە
        {0x0629, Letter::kVowel, u"e", 0},        // ة, written for ە
        {0x06CE, Letter::kVowel, u"ê", 0},        // ێ
        {0x06C6, Letter::kVowel, u"o", 0},        // ۆ
        {0x0628, Letter::kConsonant, u"b", kStop},       // ب
        {0x067E, Letter::kConsonant, u"p", kStop},       // پ
        {0x062A, Letter::kConsonant, u"t", kStop},       // ت
        {0x0637, Letter::kConsonant, u"t", kStop},       // ط
        {0x062C, Letter::kConsonant, u"c", kStop},       // ج
        {0x0686, Letter::kConsonant, u"ç", kStop},       // چ
        {0x062F, Letter::kConsonant, u"d", kStop},       // د
        {0x0642, Letter::kConsonant, u"q", kStop},       // ق
        {0x06A9, Letter::kConsonant, u"k", kStop},       // ک
        {0x0643, Letter::kConsonant, u"k", kStop},       // ك
        {0x06AF, Letter::kConsonant, u"g", kStop},       // گ
        {0x0639, Letter::kConsonant, u"'", kStop},       // ع
        {0x0621, Letter::kConsonant, u"'", kStop},       // ء
        // ح and غ have no letter the voice knows (it spells ḧ and ẍ out):
        // h and x are the nearest sounds, and x is how غ is often written.
        {0x062D, Letter::kConsonant, u"h", kFricative},  // ح
        {0x063A, Letter::kConsonant, u"x", kFricative},  // غ
        {0x062E, Letter::kConsonant, u"x", kFricative},  // خ
        {0x0632, Letter::kConsonant, u"z", kFricative},  // ز
        {0x0630, Letter::kConsonant, u"z", kFricative},  // ذ
        {0x0636, Letter::kConsonant, u"z", kFricative},  // ض
        {0x0638, Letter::kConsonant, u"z", kFricative},  // ظ
        {0x0698, Letter::kConsonant, u"j", kFricative},  // ژ
        {0x0633, Letter::kConsonant, u"s", kFricative},  // س
        {0x0635, Letter::kConsonant, u"s", kFricative},  // ص
        {0x062B, Letter::kConsonant, u"s", kFricative},  // ث
        {0x0634, Letter::kConsonant, u"ş", kFricative},  // ش
        {0x0641, Letter::kConsonant, u"f", kFricative},  // ف
        {0x06A4, Letter::kConsonant, u"v", kFricative},  // ڤ
        {0x0645, Letter::kConsonant, u"m", kNasal},      // م
        {0x0646, Letter::kConsonant, u"n", kNasal},      // ن
        {0x0644, Letter::kConsonant, u"l", kLiquid},     // ل
        // The voice has no dark l; a doubled l is the heavier l it can say.
        {0x06B5, Letter::kConsonant, u"ll", kLiquid},    // ڵ
        {0x0631, Letter::kConsonant, u"r", kLiquid},     // ر
        // A single r between vowels is a tap for the voice, rr a trill.
        {0x0695, Letter::kConsonant, u"rr", kLiquid},    // ڕ
        {0x0648, Letter::kWaw, nullptr, 0},              // و
        {0x0624, Letter::kWaw, nullptr, 0},              // ؤ
        {0x06CC, Letter::kYeh, nullptr, 0},              // ی
        {0x064A, Letter::kYeh, nullptr, 0},              // ي
        {0x0649, Letter::kYeh, nullptr, 0},              // ى
        {0x0626, Letter::kHamza, nullptr, 0},            // ئ
        {0x0647, Letter::kHeh, nullptr, 0},              // ه
        {0x06BE, Letter::kHeh, nullptr, 0},              // ھ
    };
    for (const Entry& e : kTable)
        if (e.c == c) {
            *raw = {e.letter, e.latin, e.sonority};
            return true;
        }
    return false;
}

// A sound of a word once every letter is decided.
struct Sound {
    QString latin;
    bool vowel = false;
    int sonority = 0;
};

Sound Vowel(const char16_t* latin) { return {QString::fromUtf16(latin), true, 0}; }
Sound Consonant(const char16_t* latin, int sonority) { return {QString::fromUtf16(latin), false, sonority}; }

bool IsWordLetter(QChar c)
{
    Raw raw;
    return Classify(c.unicode(), &raw);
}

// Inside a word: dropped without breaking it.
bool IsSilentInWord(QChar c)
{
    return c == QChar(kZwnj) || c == QChar(kZwj) || c == QChar(kTatweel) || (c.isMark() && IsArabicScript(c));
}

// The letters of one word, with the older spelling's heh-and-non-joiner
// already read as the vowel e.
std::vector<Raw> Letters(QStringView word)
{
    std::vector<Raw> out;
    for (qsizetype i = 0; i < word.size(); ++i) {
        Raw raw;
        if (!Classify(word[i].unicode(), &raw))
            continue;
        if (raw.letter == Letter::kHeh && i + 1 < word.size() && word[i + 1] == QChar(kZwnj))
            raw = {Letter::kVowel, u"e", 0};
        out.push_back(raw);
    }
    return out;
}

// Decides, left to right, what each و, ی, ئ and ه of a word stands for.
std::vector<Sound> Sounds(const std::vector<Raw>& letters)
{
    std::vector<Sound> out;
    const qsizetype n = qsizetype(letters.size());
    bool afterSilentHamza = false;   // the word began with a silent ئ just now
    const auto prevIsVowel = [&] { return !out.empty() && out.back().vowel; };
    const auto isVowelLetter = [&](qsizetype k) { return k < n && letters[k].letter == Letter::kVowel; };
    for (qsizetype i = 0; i < n; ++i) {
        const Raw& r = letters[i];
        const bool atStart = out.empty() && !afterSilentHamza;
        afterSilentHamza = false;
        switch (r.letter) {
        case Letter::kVowel:
            out.push_back(Vowel(r.latin));
            break;
        case Letter::kConsonant:
            out.push_back(Consonant(r.latin, r.sonority));
            break;
        case Letter::kHamza:
            if (i == 0) {
                // Every Sorani word that sounds with a vowel first is written
                // with ئ; before a consonant it carries an unwritten i.
                if (i + 1 < n && letters[i + 1].letter == Letter::kConsonant)
                    out.push_back(Vowel(u"i"));
                else
                    afterSilentHamza = true;
            } else {
                out.push_back(Consonant(u"'", kStop));
            }
            break;
        case Letter::kHeh:
            // The older spelling ends a word in ه for the vowel e; after a
            // vowel letter it is the consonant, as in شاه and گوناه.
            if (i + 1 == n && i > 0 && letters[i - 1].letter != Letter::kVowel)
                out.push_back(Vowel(u"e"));
            else
                out.push_back(Consonant(u"h", kFricative));
            break;
        case Letter::kWaw:
            if (n == 1) {
                out.push_back(Vowel(u"û"));   // the word "and"
            } else if (i + 1 < n && letters[i + 1].letter == Letter::kWaw && !atStart) {
                out.push_back(Vowel(u"û"));   // وو
                ++i;
            } else if (atStart || prevIsVowel()) {
                out.push_back(Consonant(u"w", kGlide));
            } else {
                // After a consonant (or the silent ئ): u between consonants,
                // w before a vowel, as in کورد kurd and خوا xwa.
                out.push_back(isVowelLetter(i + 1) ? Consonant(u"w", kGlide) : Vowel(u"u"));
            }
            break;
        case Letter::kYeh:
            if (n == 1) {
                out.push_back(Vowel(u"î"));
            } else if (atStart || prevIsVowel()) {
                out.push_back(Consonant(u"y", kGlide));
            } else {
                // After a consonant or the silent ئ: î, but y before a vowel,
                // as in گیان gyan and پیاو pyaw.
                out.push_back(isVowelLetter(i + 1) ? Consonant(u"y", kGlide) : Vowel(u"î"));
            }
            break;
        }
    }
    return out;
}

// The unwritten i. A Sorani syllable is an optional onset (one consonant, or
// a consonant and w or y, as xwa, gyan), a vowel, and at most two consonants
// after it, and two only when the second carries less (dest, kurd, hewt, but
// not dn, tn, gr). The word is cut into syllables from its end, each taking
// the longest such ending; a syllable that finds no written vowel before its
// ending gets an i there: کتێب kitêb, خواردن xwardin, کوردستان kurdistan,
// من min, ئاگر agir, دەستم destim.
QString Syllabify(const std::vector<Sound>& s)
{
    std::vector<QString> parts;   // in reverse
    qsizetype j = qsizetype(s.size());
    const auto consonant = [&](qsizetype k) { return k >= 0 && !s[k].vowel; };
    while (j > 0) {
        qsizetype coda = 0;
        if (consonant(j - 1)) {
            coda = 1;
            if (consonant(j - 2) && s[j - 2].sonority > s[j - 1].sonority)
                coda = 2;
        }
        qsizetype k = j - coda;
        qsizetype start;
        QString syllable;
        if (k > 0 && s[k - 1].vowel) {
            start = k - 1;
            if (consonant(start - 1)) {
                --start;
                if (s[start].sonority == kGlide && consonant(start - 1) && s[start - 1].sonority != kGlide)
                    --start;
            }
            for (qsizetype m = start; m < j; ++m)
                syllable += s[m].latin;
        } else {
            // No vowel: the consonant before the ending opens a syllable of
            // its own with an i; a word's first consonant does so alone.
            if (coda == 2 && k == 0)
                k = j - (coda = 1);
            start = k > 0 ? k - 1 : 0;
            syllable = s[start].latin + QStringLiteral("i");
            for (qsizetype m = start + 1; m < j; ++m)
                syllable += s[m].latin;
        }
        parts.push_back(syllable);
        j = start;
    }
    QString out;
    for (auto it = parts.rbegin(); it != parts.rend(); ++it)
        out += *it;
    return out;
}

QString Respell(QStringView word)
{
    return Syllabify(Sounds(Letters(word)));
}

// Digits and punctuation of the Arabic script, in Latin.
QString Punctuation(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 0x0660 && u <= 0x0669)
        return QString(QChar(char16_t('0' + (u - 0x0660))));
    if (u >= 0x06F0 && u <= 0x06F9)
        return QString(QChar(char16_t('0' + (u - 0x06F0))));
    switch (u) {
    case 0x060C: return QStringLiteral(",");    // ،
    case 0x061B: return QStringLiteral(";");    // ؛
    case 0x061F: return QStringLiteral("?");    // ؟
    case 0x06D4: return QStringLiteral(".");    // ۔
    case 0x066A: return QStringLiteral("%");    // ٪
    case 0x066B: return QStringLiteral(".");    // decimal separator
    case 0x066C: return QStringLiteral(",");    // thousands separator
    case 0x00AB: case 0x00BB: return QStringLiteral("\"");   // « »
    }
    if (IsArabicScript(c) || c == QChar(kZwnj) || c == QChar(kZwj))
        return QString();   // a sign the voice would only name
    return QString(c);
}

}  // namespace

bool IsArabicScript(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x0600 && u <= 0x06FF) || (u >= 0x0750 && u <= 0x077F) || (u >= 0x08A0 && u <= 0x08FF)
           || (u >= 0xFB50 && u <= 0xFDFF) || (u >= 0xFE70 && u <= 0xFEFF);
}

QString SoraniToLatin(QStringView text)
{
    // Presentation forms (as some old files have them) become plain letters.
    const QString plain = text.toString().normalized(QString::NormalizationForm_KC);
    QString out;
    out.reserve(plain.size() + plain.size() / 4);
    qsizetype i = 0;
    while (i < plain.size()) {
        if (IsWordLetter(plain[i])) {
            qsizetype end = i;
            while (end < plain.size() && (IsWordLetter(plain[end]) || IsSilentInWord(plain[end])))
                ++end;
            out += Respell(QStringView(plain).mid(i, end - i));
            i = end;
        } else {
            out += Punctuation(plain[i]);
            ++i;
        }
    }
    return out;
}
