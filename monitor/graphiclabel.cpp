#include "monitor/graphiclabel.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace monitor {

namespace {

// The raised side: light from the top right throws the body of the text down
// to the left, up to `depth` pixels.
QImage sideOf(const QImage &body, int depth)
{
    QImage side(body.size(), QImage::Format_Alpha8);
    side.fill(0);
    const int w = body.width();
    const int h = body.height();
    for (int y = 0; y < h; ++y) {
        uchar *out = side.scanLine(y);
        for (int i = 1; i <= depth && y - i >= 0; ++i) {
            const uchar *in = body.constScanLine(y - i) + i;
            for (int x = 0; x < w - i; ++x)
                out[x] = std::max(out[x], in[x]);
        }
    }
    return side;
}

TextMasks masksOfPath(const QPainterPath &path, int depth, const QRect &box)
{
    TextMasks m;
    m.at = box.topLeft();
    m.bounds = path.boundingRect();
    m.body = QImage(box.size(), QImage::Format_Alpha8);
    m.body.fill(0);
    {
        QPainter p(&m.body);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(-box.topLeft());
        p.fillPath(path, Qt::black);
    }
    m.side = sideOf(m.body, depth);
    return m;
}

// Pen positions are multiples of 1/64 pixel, so this keeps them exactly.
constexpr int kSubpixel = 64;

struct GlyphKey
{
    QString font;
    int depth;
    QChar ch;
    int fraction; // of the pen position, in 1/kSubpixel
    bool operator==(const GlyphKey &o) const
    {
        return depth == o.depth && ch == o.ch && fraction == o.fraction && font == o.font;
    }
};

size_t qHash(const GlyphKey &k, size_t seed = 0)
{
    return qHashMulti(seed, k.font, k.depth, k.ch, k.fraction);
}

// One character's masks with the pen on the baseline at (fraction, 0).
const TextMasks &glyphMasks(const QFont &font, int depth, QChar ch, int fraction)
{
    static QHash<GlyphKey, TextMasks> cache;
    const GlyphKey key{font.key(), depth, ch, fraction};
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    if (cache.size() > 512) // a few faces of eleven characters; never reached in use
        cache.clear();
    QPainterPath path;
    path.addText(qreal(fraction) / kSubpixel, 0, font, QString(ch));
    const QRect box = path.boundingRect().toAlignedRect().adjusted(-depth - 1, -2, 2, depth + 1);
    return *cache.insert(key, masksOfPath(path, depth, box));
}

bool fromGlyphs(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-');
    });
}

} // namespace

TextMasks textMasksFromPath(const QFont &font, const QString &text, int depth, int baseline)
{
    if (text.isEmpty())
        return {};
    QPainterPath path;
    path.addText(depth, baseline, font, text);
    const QRect box = path.boundingRect().toAlignedRect().adjusted(-depth - 1, -2, 2, depth + 1);
    return masksOfPath(path, depth, box);
}

// Each character is drawn where the whole text's outline would put it, from
// masks made once; overlapping coverage adds up as the outline's union would.
TextMasks textMasksFromGlyphs(const QFont &font, const QString &text, int depth, int baseline)
{
    if (text.isEmpty() || !fromGlyphs(text))
        return {};
    const QFontMetricsF metrics(font);
    struct Placed
    {
        const TextMasks *glyph;
        QPoint offset;
    };
    std::vector<Placed> placed;
    QRect box;
    QRectF bounds;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qreal pen = depth + metrics.horizontalAdvance(text.left(i));
        const int fixed = int(std::lround(pen * kSubpixel));
        const int whole = fixed >= 0 ? fixed / kSubpixel : -((-fixed + kSubpixel - 1) / kSubpixel);
        const TextMasks &g = glyphMasks(font, depth, text[i], fixed - whole * kSubpixel);
        const QPoint offset(whole, baseline);
        placed.push_back({&g, offset});
        box |= g.rect().translated(offset);
        bounds |= g.bounds.translated(offset);
    }
    TextMasks m;
    m.at = box.topLeft();
    m.bounds = bounds;
    m.body = QImage(box.size(), QImage::Format_Alpha8);
    m.body.fill(0);
    m.side = QImage(box.size(), QImage::Format_Alpha8);
    m.side.fill(0);
    for (const Placed &p : placed) {
        const QPoint to = p.glyph->at + p.offset - box.topLeft();
        const int w = p.glyph->body.width();
        for (int y = 0; y < p.glyph->body.height(); ++y) {
            const uchar *gb = p.glyph->body.constScanLine(y);
            const uchar *gs = p.glyph->side.constScanLine(y);
            uchar *b = m.body.scanLine(to.y() + y) + to.x();
            uchar *s = m.side.scanLine(to.y() + y) + to.x();
            for (int x = 0; x < w; ++x) {
                b[x] = uchar(std::min(255, b[x] + gb[x]));
                s[x] = std::max(s[x], gs[x]);
            }
        }
    }
    return m;
}

GraphicLabel::GraphicLabel(QWidget *parent, const char *name) : QWidget(parent)
{
    setObjectName(QLatin1String(name));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_font = font();
}

void GraphicLabel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    rebuildMasks();
}

void GraphicLabel::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    m_dirty = true;
    updateImageArea();
}

void GraphicLabel::setGradient(const QColor &top, const QColor &bottom)
{
    m_gradient = std::make_pair(top, bottom);
    m_dirty = true;
    updateImageArea();
}

void GraphicLabel::setRaisedDepth(int px)
{
    m_depth = px;
    rebuildMasks();
}

void GraphicLabel::setTextFont(const QFont &font)
{
    m_font = font;
    rebuildMasks();
}

void GraphicLabel::setBaseline(int px)
{
    m_baseline = px;
    rebuildMasks();
}

void GraphicLabel::setBackdrop(const QColor &colour)
{
    m_backdrop = colour;
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_dirty = true;
    update();
}

void GraphicLabel::updateImageArea()
{
    if (!m_masks.isNull())
        update(m_masks.rect());
}

void GraphicLabel::rebuildMasks()
{
    const QRect before = m_masks.isNull() ? QRect() : m_masks.rect();
    // Text hangs from the top of the box, as a left-aligned label draws it;
    // the raised effect needs room on the left.
    const int baseline = m_baseline >= 0 ? m_baseline : QFontMetrics(m_font).ascent();
    m_masks = textMasksFromGlyphs(m_font, m_text, m_depth, baseline);
    if (m_masks.isNull())
        m_masks = textMasksFromPath(m_font, m_text, m_depth, baseline);
    m_dirty = true;
    // Only the old and the new text change on screen.
    update(QRegion(before) | (m_masks.isNull() ? QRect() : m_masks.rect()));
}

// Colours the masks: the side in a shade of the button face, a thin lit rim to
// the top right, the text's fill on top; over the backdrop when there is one.
void GraphicLabel::render()
{
    m_dirty = false;
    m_image = QImage();
    if (m_masks.isNull())
        return;
    const int w = m_masks.body.width();
    const int h = m_masks.body.height();

    const QColor face = palette().color(QPalette::Button);
    const QColor side = face.darker(160);
    const QColor rim = face.lighter(115);
    // The fill colour of each row: one colour, or the gradient from the top of
    // the text to its bottom.
    const QRectF text = m_masks.bounds;
    std::vector<QRgb> rowColour(size_t(h), m_color.rgb());
    if (m_gradient) {
        const QColor a = m_gradient->first, b = m_gradient->second;
        for (int y = 0; y < h; ++y) {
            const qreal t = std::clamp((m_masks.at.y() + y + 0.5 - text.top()) /
                                           std::max<qreal>(1, text.height()),
                                       0.0, 1.0);
            rowColour[size_t(y)] = qRgb(int(a.red() + (b.red() - a.red()) * t),
                                        int(a.green() + (b.green() - a.green()) * t),
                                        int(a.blue() + (b.blue() - a.blue()) * t));
        }
    }

    const QRgb sideRgb = side.rgb();
    const QRgb rimRgb = rim.rgb();
    const bool opaque = m_backdrop.has_value();
    const QRgb under = opaque ? m_backdrop->rgb() : 0;
    const int ur = qRed(under), ug = qGreen(under), ub = qBlue(under);
    m_image = QImage(w, h, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    const QRgb empty = opaque ? (under | 0xff000000u) : 0;
    static const uchar none[1] = {0};
    for (int y = 0; y < h; ++y) {
        QRgb *out = reinterpret_cast<QRgb *>(m_image.scanLine(y));
        const uchar *body = m_masks.body.constScanLine(y);
        const uchar *shade = m_masks.side.constScanLine(y);
        // The rim is the body one pixel down and to the left.
        const bool hasLit = m_depth > 0 && y + 1 < h;
        const uchar *lit = hasLit ? m_masks.body.constScanLine(y + 1) - 1 : none;
        const QRgb fill = rowColour[size_t(y)] | 0xff000000u;
        for (int x = 0; x < w; ++x) {
            const int b = body[x];
            if (b == 255) {
                out[x] = fill;
                continue;
            }
            const int s = shade[x];
            const int l = hasLit && x > 0 ? lit[x] : 0;
            if ((s | l | b) == 0) {
                out[x] = empty;
                continue;
            }
            int r = 0, g = 0, bl = 0, al = 0; // premultiplied, 0..255
            auto over = [&](QRgb c, int cov) {
                r = (qRed(c) * cov + r * (255 - cov)) / 255;
                g = (qGreen(c) * cov + g * (255 - cov)) / 255;
                bl = (qBlue(c) * cov + bl * (255 - cov)) / 255;
                al = (255 * cov + al * (255 - cov)) / 255;
            };
            over(sideRgb, s);
            over(rimRgb, l);
            over(fill, b);
            if (opaque) {
                const int rest = 255 - al;
                out[x] = qRgb(r + (ur * rest + 127) / 255, g + (ug * rest + 127) / 255,
                              bl + (ub * rest + 127) / 255);
            } else {
                out[x] = qRgba(r, g, bl, al);
            }
        }
    }
}

// Drawn rectangle by rectangle of what needs it, each a plain clip: a clip of
// many rectangles would send every fill and copy through the raster engine's
// span path, which hands large areas to worker threads.
void GraphicLabel::paintEvent(QPaintEvent *event)
{
    if (m_dirty)
        render();
    const QRect imageRect = m_image.isNull() ? QRect() : m_masks.rect();
    QPainter p(this);
    for (const QRect &r : event->region()) {
        p.setClipRect(r);
        if (m_backdrop) {
            for (const QRect &f : QRegion(r).subtracted(imageRect))
                p.fillRect(f, *m_backdrop);
        }
        const QRect part = r & imageRect;
        if (!part.isEmpty())
            p.drawImage(part.topLeft(), m_image, part.translated(-imageRect.topLeft()));
    }
}

namespace {
bool hasFamily(const QString &family)
{
    // Listing every installed family is slow; the fonts do not change while
    // the program runs.
    static const QStringList installed = QFontDatabase::families();
    return installed.contains(family, Qt::CaseInsensitive);
}
} // namespace

QFont numberFont(int pixelHeight)
{
    QFont f;
    if (hasFamily(QStringLiteral("Impact"))) {
        f.setFamily(QStringLiteral("Impact"));
    } else if (hasFamily(QStringLiteral("Liberation Sans Narrow"))) {
        f.setFamily(QStringLiteral("Liberation Sans Narrow"));
        f.setBold(true);
    } else {
        f.setFamily(QStringLiteral("DejaVu Sans"));
        f.setStretch(QFont::Condensed);
        f.setBold(true);
    }
    f.setPixelSize(pixelHeight);
    return f;
}

QFont titleFont(int pixelHeight)
{
    QFont f(hasFamily(QStringLiteral("Arial")) ? QStringLiteral("Arial")
                                               : QStringLiteral("Liberation Sans"));
    f.setPixelSize(pixelHeight);
    return f;
}

} // namespace monitor
