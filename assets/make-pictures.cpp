// Draws the about window's pictures and the frames of its animation, so they
// can be remade and changed: background, upper, lower and middle pictures,
// the two banners and the thanks letter, all in the program's palette (the
// navy and gold of banner.png and panel.png).
//
//   make-pictures <picture folder> <frame folder>
//
// assets/make-pictures.sh builds this, runs it and assembles the frames.
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>
#include <cstdio>

namespace {

const QColor kNavyDeep(0x0d, 0x26, 0x45);
const QColor kNavy(0x1a, 0x46, 0x74);
const QColor kNavyLight(0x2b, 0x62, 0x98);
const QColor kGold(0xd6, 0xb0, 0x5c);
const QColor kGoldLight(0xf2, 0xd9, 0x97);
const QColor kCream(0xfc, 0xf8, 0xee);
const QColor kCreamDark(0xf1, 0xe6, 0xcc);
const QColor kInk(0x1c, 0x33, 0x50);

// Where the movie's box lies on the background, in pixels.
constexpr int kMovieX = 56, kMovieY = 56, kMovieW = 329, kMovieH = 441;
constexpr int kFrames = 40;

QFont Font(const char* family, double pixels, int weight = QFont::Normal)
{
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(static_cast<int>(std::lround(pixels)));
    f.setWeight(static_cast<QFont::Weight>(weight));
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QFont Kurdish(double pixels, int weight = QFont::Normal) { return Font("Noto Naskh Arabic", pixels, weight); }
QFont Title(double pixels) { return Font("Unikurd Web", pixels); }
QFont Latin(double pixels, int weight = QFont::Normal, double spacing = 0)
{
    QFont f = Font("Noto Serif", pixels, weight);
    if (spacing != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return f;
}

QImage Canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void Prepare(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

// Text filled with a gradient, with a soft shadow under it.
void GradientText(QPainter& p, const QRectF& box, int flags, const QFont& font, const QString& text,
                  const QBrush& fill, const QColor& shadow = QColor(0, 0, 0, 110), bool rtl = true)
{
    QImage mask(p.device()->width(), p.device()->height(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter m(&mask);
        Prepare(m);
        m.setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
        m.setFont(font);
        m.setPen(Qt::white);
        m.drawText(box, flags, text);
    }
    if (shadow.alpha() > 0) {
        QImage s = mask;
        QPainter sp(&s);
        sp.setCompositionMode(QPainter::CompositionMode_SourceIn);
        sp.fillRect(s.rect(), shadow);
        sp.end();
        for (const QPointF& d : {QPointF(0, 1.5), QPointF(0.8, 2), QPointF(-0.8, 2)}) {
            p.setOpacity(0.5);
            p.drawImage(d, s);
        }
        p.setOpacity(1);
    }
    QPainter mp(&mask);
    mp.setCompositionMode(QPainter::CompositionMode_SourceIn);
    mp.fillRect(mask.rect(), fill);
    mp.end();
    p.drawImage(0, 0, mask);
}

QLinearGradient GoldGradient(double top, double bottom)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, QColor(0xfb, 0xec, 0xbf));
    g.setColorAt(0.45, kGoldLight);
    g.setColorAt(0.55, kGold);
    g.setColorAt(1, QColor(0xb9, 0x8d, 0x3c));
    return g;
}

QLinearGradient NavyGradient(double top, double bottom, bool light = false)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, light ? kNavyLight : kNavy);
    g.setColorAt(1, light ? kNavy : kNavyDeep);
    return g;
}

// The soft lines of panel.png.
void Waves(QPainter& p, const QRectF& area, int count, double alpha, double seed)
{
    p.save();
    p.setClipRect(area);
    for (int i = 0; i < count; ++i) {
        QPainterPath path;
        const double base = area.top() + area.height() * (i + 0.5) / count;
        const double amp = area.height() * (0.05 + 0.04 * std::sin(seed + i * 1.7));
        const double len = area.width() * (0.8 + 0.3 * std::cos(seed * 2 + i));
        for (double x = area.left() - 4; x <= area.right() + 4; x += 2) {
            const double y = base + amp * std::sin((x - area.left()) / len * 2 * M_PI + seed + i * 0.9);
            if (x == area.left() - 4)
                path.moveTo(x, y);
            else
                path.lineTo(x, y);
        }
        p.setPen(QPen(QColor(255, 255, 255, static_cast<int>(alpha * (0.6 + 0.4 * std::sin(i + seed)))), 0.8));
        p.drawPath(path);
    }
    p.restore();
}

// A small gold diamond, the ornament that recurs on every picture.
void Diamond(QPainter& p, QPointF c, double r, const QColor& color)
{
    QPainterPath d;
    d.moveTo(c.x(), c.y() - r);
    d.lineTo(c.x() + r, c.y());
    d.lineTo(c.x(), c.y() + r);
    d.lineTo(c.x() - r, c.y());
    d.closeSubpath();
    p.fillPath(d, color);
}

// A gold rule that fades at both ends, with a diamond in its middle.
void Rule(QPainter& p, double y, double left, double right, double diamond = 3.5)
{
    QLinearGradient g(left, 0, right, 0);
    g.setColorAt(0, QColor(kGold.red(), kGold.green(), kGold.blue(), 0));
    g.setColorAt(0.5, kGold);
    g.setColorAt(1, QColor(kGold.red(), kGold.green(), kGold.blue(), 0));
    p.setPen(QPen(QBrush(g), 1));
    const double mid = (left + right) / 2;
    p.drawLine(QPointF(left, y), QPointF(mid - diamond * 2.5, y));
    p.drawLine(QPointF(mid + diamond * 2.5, y), QPointF(right, y));
    if (diamond > 0) {
        Diamond(p, QPointF(mid, y), diamond, kGoldLight);
        Diamond(p, QPointF(mid - diamond * 1.6, y), diamond * 0.45, kGold);
        Diamond(p, QPointF(mid + diamond * 1.6, y), diamond * 0.45, kGold);
    }
}

// A sun of 21 rays, as on the Kurdish flag, turned by `turn` degrees.
void Sun(QPainter& p, QPointF c, double inner, double outer, double turn, double glow)
{
    QRadialGradient halo(c, outer * 1.9);
    halo.setColorAt(0, QColor(0xff, 0xe3, 0x9a, static_cast<int>(150 * glow)));
    halo.setColorAt(0.35, QColor(0xf0, 0xc0, 0x60, static_cast<int>(70 * glow)));
    halo.setColorAt(1, QColor(0xf0, 0xc0, 0x60, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(c, outer * 1.9, outer * 1.9);

    QPainterPath rays;
    for (int i = 0; i < 21; ++i) {
        const double a = (turn + i * 360.0 / 21) * M_PI / 180;
        const double half = (360.0 / 21) * 0.3 * M_PI / 180;
        rays.moveTo(c + QPointF(std::cos(a - half) * inner, std::sin(a - half) * inner));
        rays.lineTo(c + QPointF(std::cos(a) * outer, std::sin(a) * outer));
        rays.lineTo(c + QPointF(std::cos(a + half) * inner, std::sin(a + half) * inner));
        rays.closeSubpath();
    }
    QRadialGradient rayFill(c, outer);
    rayFill.setColorAt(0, QColor(0xff, 0xee, 0xb8));
    rayFill.setColorAt(0.6, kGoldLight);
    rayFill.setColorAt(1, kGold);
    p.fillPath(rays, rayFill);

    QRadialGradient disc(c - QPointF(inner * 0.3, inner * 0.3), inner * 1.3);
    disc.setColorAt(0, QColor(0xff, 0xf4, 0xcf));
    disc.setColorAt(0.7, kGoldLight);
    disc.setColorAt(1, kGold);
    p.setBrush(disc);
    p.setPen(QPen(QColor(0xb9, 0x8d, 0x3c), 1));
    p.drawEllipse(c, inner, inner);
}

// A rounded navy panel with a sheen on its upper half and a gold edge;
// waves across it unless `waves` is negative.
void NavyPanel(QPainter& p, const QRectF& box, double radius, double edge, double waves)
{
    QPainterPath panel;
    panel.addRoundedRect(box, radius, radius);
    p.fillPath(panel, NavyGradient(box.top(), box.bottom(), true));
    if (waves >= 0)
        Waves(p, box, 5, 28, waves);
    QLinearGradient sheen(0, box.top(), 0, box.center().y());
    sheen.setColorAt(0, QColor(255, 255, 255, 42));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillPath(panel, sheen);
    p.setPen(QPen(kGold, edge));
    p.drawPath(panel);
}

QImage Background()
{
    QImage img = Canvas(438, 548);
    QPainter p(&img);
    Prepare(p);
    QLinearGradient g(0, 0, 0, 548);
    g.setColorAt(0, kNavyDeep);
    g.setColorAt(0.45, kNavy);
    g.setColorAt(1, kNavyDeep);
    p.fillRect(img.rect(), g);

    QRadialGradient glow(QPointF(219, 310), 250);
    glow.setColorAt(0, QColor(0x4f, 0x8f, 0xc8, 120));
    glow.setColorAt(1, QColor(0x4f, 0x8f, 0xc8, 0));
    p.fillRect(img.rect(), glow);
    Waves(p, QRectF(0, 200, 438, 230), 9, 30, 0.7);
    Waves(p, QRectF(0, 20, 438, 130), 5, 18, 2.3);

    // The row of the lower picture and the buttons sits on a darker band.
    QPainterPath band;
    band.addRoundedRect(QRectF(44, 440, 350, 64), 10, 10);
    p.fillPath(band, QColor(4, 16, 32, 90));
    p.setPen(QPen(QColor(kGold.red(), kGold.green(), kGold.blue(), 90), 1));
    p.drawPath(band);

    // A double gold frame with diamonds at its corners.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kGold, 1.4));
    p.drawRoundedRect(QRectF(7.5, 7.5, 423, 533), 6, 6);
    p.setPen(QPen(QColor(kGold.red(), kGold.green(), kGold.blue(), 110), 0.8));
    p.drawRoundedRect(QRectF(12.5, 12.5, 413, 523), 4, 4);
    for (QPointF c : {QPointF(12.5, 12.5), QPointF(425.5, 12.5), QPointF(12.5, 535.5), QPointF(425.5, 535.5)}) {
        Diamond(p, c, 6, kGoldLight);
        Diamond(p, c, 2.5, kNavy);
    }
    Rule(p, 522, 120, 318, 3);
    p.end();
    return img;
}

QImage Upper()
{
    QImage img = Canvas(328, 117);
    QPainter p(&img);
    Prepare(p);
    NavyPanel(p, QRectF(1, 1, 326, 115), 12, 1.5, 4.1);
    p.setPen(QPen(QColor(kGold.red(), kGold.green(), kGold.blue(), 100), 0.8));
    p.drawRoundedRect(QRectF(5, 5, 318, 107), 9, 9);

    GradientText(p, QRectF(0, 4, 328, 66), Qt::AlignCenter, Title(40),
                 QStringLiteral("فەرهەنگی ڤارین"), GoldGradient(14, 62));
    Rule(p, 76.5, 40, 288, 3.5);
    GradientText(p, QRectF(0, 82, 328, 26), Qt::AlignCenter, Latin(12.5, QFont::DemiBold, 3.2),
                 QStringLiteral("VARIN  DICTIONARY"), QBrush(QColor(0xe9, 0xf0, 0xf8)), QColor(0, 0, 0, 90), false);
    p.end();
    return img;
}

QImage Middle()
{
    QImage img = Canvas(244, 32);
    QPainter p(&img);
    Prepare(p);
    QPainterPath pill;
    pill.addRoundedRect(QRectF(0.5, 2.5, 243, 27), 13.5, 13.5);
    QLinearGradient g(0, 0, 244, 0);
    g.setColorAt(0, QColor(6, 22, 42, 150));
    g.setColorAt(0.5, QColor(6, 22, 42, 220));
    g.setColorAt(1, QColor(6, 22, 42, 150));
    p.fillPath(pill, g);
    p.setPen(QPen(QColor(kGold.red(), kGold.green(), kGold.blue(), 170), 1));
    p.drawPath(pill);
    // English on the left, Kurdish on the right, the sun between them.
    GradientText(p, QRectF(14, 2, 90, 28), Qt::AlignVCenter | Qt::AlignLeft | Qt::AlignAbsolute, Latin(12.5, QFont::Medium, 0.6),
                 QStringLiteral("English"), QBrush(QColor(0xe9, 0xf0, 0xf8)), QColor(0, 0, 0, 0), false);
    GradientText(p, QRectF(140, 0, 92, 30), Qt::AlignVCenter | Qt::AlignRight | Qt::AlignAbsolute, Kurdish(15, QFont::Bold),
                 QStringLiteral("کوردی"), GoldGradient(6, 26), QColor(0, 0, 0, 0));
    Sun(p, QPointF(122, 16), 4.2, 9, 0, 0.6);
    p.setPen(QPen(kGold, 1));
    p.drawLine(QPointF(78, 16), QPointF(104, 16));
    p.drawLine(QPointF(140, 16), QPointF(166, 16));
    p.end();
    return img;
}

QImage Lower()
{
    QImage img = Canvas(220, 48);
    QPainter p(&img);
    Prepare(p);
    NavyPanel(p, QRectF(1, 1, 218, 46), 10, 1.3, -1);
    Sun(p, QPointF(26, 24), 7, 15, -90, 0.5);
    GradientText(p, QRectF(48, -1, 164, 28), Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter, Kurdish(15.5, QFont::Bold),
                 QStringLiteral("وەشانی ٢٫٥  ·  ٢٠١٠"), GoldGradient(4, 24));
    GradientText(p, QRectF(48, 25, 164, 18), Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter, Latin(10.5, QFont::Normal, 1.2),
                 QStringLiteral("Version 2.5 \u00B7 2010"), QBrush(QColor(0xd8, 0xe4, 0xf0)), QColor(0, 0, 0, 0), false);
    p.end();
    return img;
}

// Only a strip of each banner shows: rows 22 to 41 of the top one under the
// window's top edge, rows 0 to 23 of the bottom one above its bottom edge,
// and their left 380 pixels. That strip carries the design.
QImage Banner(bool top)
{
    QImage img = Canvas(426, 99);
    QPainter p(&img);
    Prepare(p);
    p.fillRect(img.rect(), NavyGradient(0, 99, !top));
    Waves(p, QRectF(0, 0, 426, 99), 6, 26, top ? 1.1 : 5.3);
    const double strip = top ? 22 : 0, stripH = top ? 20 : 24;
    QLinearGradient shade(0, strip, 0, strip + stripH);
    shade.setColorAt(0, top ? QColor(0, 0, 0, 40) : QColor(255, 255, 255, 28));
    shade.setColorAt(1, top ? QColor(255, 255, 255, 18) : QColor(0, 0, 0, 50));
    p.fillRect(QRectF(0, strip, 426, stripH), shade);
    p.setPen(QPen(kGold, 1.4));
    const double edge = top ? 40.3 : 0.7;
    p.drawLine(QPointF(0, edge), QPointF(426, edge));
    p.setPen(QPen(QColor(kGold.red(), kGold.green(), kGold.blue(), 110), 0.8));
    const double inner = top ? 37.5 : 3.5;
    p.drawLine(QPointF(0, inner), QPointF(426, inner));
    if (top) {
        Diamond(p, QPointF(192, 40.3), 4.5, kGoldLight);
        GradientText(p, QRectF(0, 19, 385, 19), Qt::AlignCenter, Kurdish(12.5, QFont::Bold),
                     QStringLiteral("سوپاسنامە"), GoldGradient(22, 36), QColor(0, 0, 0, 0));
        for (double x : {150.0, 234.0})
            Diamond(p, QPointF(x, 29), 2.2, kGold);
    } else {
        GradientText(p, QRectF(16, 4, 240, 19), Qt::AlignCenter, Kurdish(12.5, QFont::Bold),
                     QStringLiteral("فەرهەنگی ڤارین"), GoldGradient(6, 20), QColor(0, 0, 0, 0));
        Diamond(p, QPointF(136, 0.7), 4.5, kGoldLight);
        for (double x : {70.0, 202.0})
            Diamond(p, QPointF(x, 13.5), 2.2, kGold);
    }
    p.end();
    return img;
}

// The thanks letter, in today's Sorani spelling.
const char* const kLetterHeading = "سوپاس و پێزانین";
const char* const kLetterSubheading = "بۆ هەموو ئەوانەی ئەم فەرهەنگەیان پێکەوە دروست کرد";
const char* const kLetterGreeting = "خوێنەری ئازیز،";
const char* const kLetterBody[] = {
    "ئەم فەرهەنگە بەرهەمی یەک کەس نییە. هەر وشەیەکی ناو ئەم لاپەڕانە بە دەستی چەندین کەسدا "
    "تێپەڕیوە، کە بە دڵسۆزی و بێ چاوەڕوانیی پاداشت، کاتی خۆیان بۆ زمانی کوردی تەرخان کرد.",
    "سوپاسی گەرممان بۆ ئەو کوردزمانانەی کە لە شار و گوندەکانەوە وشەکانیان بۆ کۆ کردینەوە، "
    "و ئەو دەربڕینانەیان پاراست کە لە قسەی ڕۆژانەدا دەژین.",
    "سوپاس بۆ مامۆستایان، کە هەر وشەیەکیان بە وردی پشکنی، واتاکانیان بەراورد کرد و "
    "ڕێنووسیان ڕاست کردەوە، تاکو هەر وشەیەک لە شوێنی خۆیدا بێت.",
    "سوپاس بۆ خۆبەخشەکان، کە شەوانی درێژ وشەکانیان نووسییەوە، جار لە دوای جار پێیاندا "
    "چوونەوە و هەڵەکانیان دۆزییەوە.",
    "سوپاس بۆ ئەو قوتابی و خوێنەرانەی کە فەرهەنگەکەیان تاقی کردەوە و بە تێبینییەکانیان "
    "باشتریان کرد.",
    "هەروەها سوپاس بۆ خێزان و هاوڕێکانمان، کە بە ئارامی و هاندانیان هەمیشە لە پشتمانەوە بوون.",
    "هیوادارین ئەم فەرهەنگە ببێتە پردێک لە نێوان زمانی کوردی و ئینگلیزیدا، و یارمەتیی هەر "
    "کەسێک بدات کە دەیەوێت فێر ببێت.",
};
const char* const kLetterClosing = "بە ڕێز و خۆشەویستییەوە،";
const char* const kLetterSignature = "دەستەی فەرهەنگی ڤارین";

QTextDocument* LetterBody(double width, double bodyPixels)
{
    auto* doc = new QTextDocument;
    doc->setDocumentMargin(0);
    doc->setTextWidth(width);
    QTextCursor c(doc);

    QTextBlockFormat block;
    block.setLayoutDirection(Qt::RightToLeft);
    // Ragged on the left: Qt justifies Arabic by spacing its letters apart.
    block.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    block.setLineHeight(116, QTextBlockFormat::ProportionalHeight);
    block.setBottomMargin(bodyPixels * 0.9);
    block.setTextIndent(0);

    QTextCharFormat greeting;
    greeting.setFont(Kurdish(bodyPixels + 2, QFont::Bold));
    greeting.setForeground(kNavy);
    QTextBlockFormat first = block;
    first.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    c.setBlockFormat(first);
    c.setCharFormat(greeting);
    c.insertText(QString::fromUtf8(kLetterGreeting));

    QTextCharFormat body;
    body.setFont(Kurdish(bodyPixels));
    body.setForeground(kInk);
    for (const char* paragraph : kLetterBody) {
        c.insertBlock(block, body);
        c.insertText(QString::fromUtf8(paragraph));
    }
    return doc;
}

QImage Letter()
{
    const int w = 365, h = 1286;
    QImage img = Canvas(w, h);
    QPainter p(&img);
    Prepare(p);

    // Paper: warm cream, a little darker at the edges.
    QLinearGradient paper(0, 0, 0, h);
    paper.setColorAt(0, kCream);
    paper.setColorAt(0.5, QColor(0xfb, 0xf5, 0xe6));
    paper.setColorAt(1, kCreamDark);
    p.fillRect(img.rect(), paper);
    QRadialGradient vignette(QPointF(w / 2.0, h / 2.0), h * 0.62);
    vignette.setColorAt(0.7, QColor(0xc9, 0xa8, 0x62, 0));
    vignette.setColorAt(1, QColor(0xc9, 0xa8, 0x62, 50));
    p.fillRect(img.rect(), vignette);

    // Frame: gold outside, navy hairline inside.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kGold, 1.6));
    p.drawRect(QRectF(7.5, 7.5, w - 15, h - 15));
    p.setPen(QPen(QColor(kNavy.red(), kNavy.green(), kNavy.blue(), 140), 0.8));
    p.drawRect(QRectF(11.5, 11.5, w - 23, h - 23));
    for (QPointF c : {QPointF(7.5, 7.5), QPointF(w - 7.5, 7.5), QPointF(7.5, h - 7.5), QPointF(w - 7.5, h - 7.5)})
        Diamond(p, c, 5, kGold);

    // Heading: a navy ribbon with the sun and the title.
    const QRectF ribbon(20, 22, w - 40, 150);
    QPainterPath rib;
    rib.addRoundedRect(ribbon, 10, 10);
    p.fillPath(rib, NavyGradient(ribbon.top(), ribbon.bottom(), true));
    Waves(p, ribbon, 5, 26, 3.3);
    p.setPen(QPen(kGold, 1.3));
    p.drawPath(rib);
    Sun(p, QPointF(w / 2.0, 62), 12, 25, -90, 0.8);
    GradientText(p, QRectF(20, 86, w - 40, 48), Qt::AlignCenter, Title(32),
                 QString::fromUtf8(kLetterHeading), GoldGradient(92, 128));
    GradientText(p, QRectF(28, 132, w - 56, 30), Qt::AlignCenter, Kurdish(12.5),
                 QString::fromUtf8(kLetterSubheading), QBrush(QColor(0xe6, 0xee, 0xf7)), QColor(0, 0, 0, 80));

    // The letter itself.
    const double margin = 34, bodyWidth = w - 2 * margin;
    double y = ribbon.bottom() + 30;
    Rule(p, y - 12, 90, w - 90, 3);
    QTextDocument* doc = LetterBody(bodyWidth, 16);
    p.save();
    p.translate(margin, y);
    doc->drawContents(&p);
    p.restore();
    y += doc->size().height();
    std::fprintf(stderr, "letter body ends at %.0f of %d\n", y, h);
    delete doc;

    // Closing and signature, to the right as a letter ends.
    y += 14;
    Rule(p, y, 70, w - 70, 3.5);
    y += 18;
    p.setLayoutDirection(Qt::RightToLeft);
    p.setFont(Kurdish(16));
    p.setPen(kInk);
    p.drawText(QRectF(margin, y, bodyWidth, 34), Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter, QString::fromUtf8(kLetterClosing));
    y += 40;
    GradientText(p, QRectF(margin, y, bodyWidth, 44), Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter, Title(25),
                 QString::fromUtf8(kLetterSignature), NavyGradient(y, y + 44, true), QColor(0, 0, 0, 0));
    y += 50;
    p.setFont(Kurdish(14));
    p.setPen(QColor(0x8a, 0x6a, 0x2c));
    p.drawText(QRectF(margin, y, bodyWidth, 26), Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter, QStringLiteral("٢٠١٠"));
    y += 30;
    std::fprintf(stderr, "letter text ends at %.0f of %d\n", y, h);

    // Foot: the sun small, between two rules.
    const double foot = h - 56;
    Rule(p, foot, 40, w / 2.0 - 24, 0);
    Rule(p, foot, w / 2.0 + 24, w - 40, 0);
    Sun(p, QPointF(w / 2.0, foot), 6, 13, -90, 0.4);
    p.setLayoutDirection(Qt::LeftToRight);
    p.setFont(Latin(10, QFont::Normal, 2));
    p.setPen(QColor(kNavy.red(), kNavy.green(), kNavy.blue(), 170));
    p.drawText(QRectF(0, foot + 16, w, 20), Qt::AlignCenter, QStringLiteral("VARIN DICTIONARY"));
    p.end();
    return img;
}

// One frame of the animation: the sun turning one ray's width a loop, its
// glow breathing, a ring of beads turning the other way and sparks rising.
// Drawn over the background where the movie's box lies, then made either
// clear or opaque per pixel (a GIF knows nothing else): an edge pixel takes
// the colour it has over the background, so the edges stay smooth there.
QImage MovieFrame(const QImage& background, int frame)
{
    const double t = static_cast<double>(frame) / kFrames;
    QImage layer = Canvas(kMovieW, kMovieH);
    QPainter p(&layer);
    Prepare(p);
    const QPointF c(kMovieW / 2.0, 262);
    const double breathe = 0.75 + 0.25 * std::sin(t * 2 * M_PI);
    Sun(p, c, 24, 54 + 3 * breathe, -90 + t * 360.0 / 21, breathe);

    const int beads = 28;
    for (int i = 0; i < beads; ++i) {
        const double a = (-t * 360.0 / beads * 2 + i * 360.0 / beads) * M_PI / 180;
        const double r = 84;
        const double size = (i % 2 == 0) ? 2.6 : 1.6;
        const int alpha = 120 + static_cast<int>(100 * (0.5 + 0.5 * std::sin(a * 2 + t * 2 * M_PI)));
        QColor bead = kGoldLight;
        bead.setAlpha(std::min(alpha, 255));
        p.setPen(Qt::NoPen);
        p.setBrush(bead);
        p.drawEllipse(c + QPointF(std::cos(a) * r, std::sin(a) * r), size, size);
    }

    for (int i = 0; i < 16; ++i) {
        const double phase = std::fmod(t + i * 0.618034, 1.0);
        const double x = 30 + std::fmod(i * 97.3, kMovieW - 60) + 6 * std::sin(phase * 2 * M_PI + i);
        const double y = 400 - phase * 260;
        const double fade = std::sin(phase * M_PI);
        QRadialGradient spark(QPointF(x, y), 5);
        spark.setColorAt(0, QColor(0xff, 0xf1, 0xc4, static_cast<int>(230 * fade)));
        spark.setColorAt(0.4, QColor(0xf2, 0xd9, 0x97, static_cast<int>(120 * fade)));
        spark.setColorAt(1, QColor(0xf2, 0xd9, 0x97, 0));
        p.setBrush(spark);
        p.drawEllipse(QPointF(x, y), 5, 5);
    }
    p.end();

    QImage under = background.copy(kMovieX, kMovieY, kMovieW, kMovieH).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter over(&under);
    over.drawImage(0, 0, layer);
    over.end();
    QImage out(kMovieW, kMovieH, QImage::Format_ARGB32);
    for (int y = 0; y < kMovieH; ++y)
        for (int x = 0; x < kMovieW; ++x)
            out.setPixel(x, y, qAlpha(layer.pixel(x, y)) >= 20 ? (under.pixel(x, y) | 0xff000000u) : 0u);
    return out;
}

bool Save(const QImage& img, const QString& path)
{
    if (!img.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), img.width(), img.height());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-pictures <picture folder> <frame folder>\n");
        return 2;
    }
    for (const char* family : {"Noto Naskh Arabic", "Unikurd Web", "Noto Serif"})
        if (!QFontDatabase::families().contains(QString::fromLatin1(family))) {
            std::fprintf(stderr, "font %s is missing (tools/install-deps.sh installs it)\n", family);
            return 1;
        }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QDir frames(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(frames.path());

    const QImage background = Background();
    bool ok = Save(background, out.filePath(QStringLiteral("about-background.png")))
              && Save(Upper(), out.filePath(QStringLiteral("about-upper.png")))
              && Save(Lower(), out.filePath(QStringLiteral("about-lower.png")))
              && Save(Middle(), out.filePath(QStringLiteral("about-middle.png")))
              && Save(Banner(true), out.filePath(QStringLiteral("about-banner-top.png")))
              && Save(Banner(false), out.filePath(QStringLiteral("about-banner-bottom.png")))
              && Save(Letter(), out.filePath(QStringLiteral("about-letter.png")));
    for (int i = 0; ok && i < kFrames; ++i)
        ok = MovieFrame(background, i).save(frames.filePath(QStringLiteral("frame-%1.png").arg(i, 2, 10, QLatin1Char('0'))));
    return ok ? 0 : 1;
}
