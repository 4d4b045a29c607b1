// What the look-up should find, worked out apart from the program's own
// matching code (FoldForMatch, LikeMatch) and by other means, so that a fault
// in that shared code shows in the randomized comparisons.
#pragma once

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QString>
#include <QtGlobal>
#include <cstdio>

// Case, the Arabic kaf and yeh forms, and the older spelling's heh for ae
// (with a non-joiner, or ending a word after a letter).
inline QString OracleFold(const QString& text)
{
    QString s = text.toLower();
    s.replace(QChar(0x0643), QChar(0x06A9));
    s.replace(QChar(0x064A), QChar(0x06CC));
    s.replace(QChar(0x0649), QChar(0x06CC));
    s.replace(QStringLiteral("\u0647\u200C"), QStringLiteral("\u06D5"));
    static const QRegularExpression finalHeh(QStringLiteral("(?<=[\\p{L}\\p{M}])\u0647(?![\\p{L}\\p{M}])"));
    s.replace(finalHeh, QStringLiteral("\u06D5"));
    return s;
}

// A keyboard without ە ێ ۆ ڵ ڕ: its users type ه ی و ل ر, so those pairs are
// one letter, after the fold above.
inline QString OracleKeyboardFold(const QString& text)
{
    QString s = OracleFold(text);
    static const QString kurdish = QStringLiteral("ەێۆڵڕ"), typed = QStringLiteral("هیولر");
    for (int i = 0; i < kurdish.size(); ++i)
        s.replace(kurdish[i], typed[i]);
    return s;
}

// The value equals the text under fold, whole or in one of its renderings:
// the value is cut at each "، " before folding, each part on its own.
inline bool OracleExact(const QString& value, const QString& text, QString (*fold)(const QString&))
{
    const QString want = fold(text);
    if (fold(value) == want)
        return true;
    for (const QString& part : value.split(QStringLiteral("، ")))
        if (fold(part) == want)
            return true;
    return false;
}

// A LIKE pattern ('%' any run, '_' one character, nothing escaped) as a regular expression.
inline QRegularExpression OracleLike(const QString& foldedPattern)
{
    QString re;
    for (const QChar c : foldedPattern)
        re += c == u'%' ? QStringLiteral(".*") : c == u'_' ? QStringLiteral(".") : QRegularExpression::escape(QString(c));
    return QRegularExpression(QRegularExpression::anchoredPattern(re),
                              QRegularExpression::DotMatchesEverythingOption);
}

// A randomized test's seed: VARIN_SEED when given, else a fresh one;
// printed either way, so a failure can be run again.
inline quint32 TestSeed(const char* test)
{
    bool ok = false;
    quint32 seed = qEnvironmentVariable("VARIN_SEED").toUInt(&ok);
    if (!ok)
        seed = QRandomGenerator::system()->generate();
    std::printf("%s: seed %u (VARIN_SEED=%u replays it)\n", test, seed, seed);
    std::fflush(stdout);
    return seed;
}
