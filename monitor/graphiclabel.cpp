#include "monitor/graphiclabel.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace monitor {

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
    rebuildPath();
}

void GraphicLabel::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    m_dirty = true;
    update();
}

void GraphicLabel::setGradient(const QColor &top, const QColor &bottom)
{
    m_gradient = std::make_pair(top, bottom);
    m_dirty = true;
    update();
}

void GraphicLabel::setRaisedDepth(int px)
{
    m_depth = px;
    rebuildPath();
}

void GraphicLabel::setTextFont(const QFont &font)
{
    m_font = font;
    rebuildPath();
}

void GraphicLabel::setBaseline(int px)
{
    m_baseline = px;
    rebuildPath();
}

void GraphicLabel::rebuildPath()
{
    m_path = QPainterPath();
    // Text hangs from the top of the box, as a left-aligned label draws it;
    // the raised effect needs room on the left.
    const int baseline = m_baseline >= 0 ? m_baseline : QFontMetrics(m_font).ascent();
    m_path.addText(m_depth, baseline, m_font, m_text);
    m_dirty = true;
    update();
}

// Draws the text once as an antialiased coverage mask and composes the raised
// layers from it in one pass over the pixels: one rasterisation per change
// instead of one per layer keeps a meter tick cheap.
void GraphicLabel::render()
{
    m_dirty = false;
    m_image = QImage();
    if (m_text.isEmpty())
        return;
    const QRect box =
        m_path.boundingRect().toAlignedRect().adjusted(-m_depth - 1, -2, 2, m_depth + 1);
    m_imageAt = box.topLeft();
    const int w = box.width();
    const int h = box.height();

    // The mask has a margin all round, so the shifted reads below stay inside.
    const int pad = m_depth + 1;
    QImage mask(w + 2 * pad, h + 2 * pad, QImage::Format_Alpha8);
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(QPoint(pad, pad) - box.topLeft());
        p.fillPath(m_path, Qt::black);
    }
    const uchar *bits = mask.constBits();
    const qsizetype stride = mask.bytesPerLine();
    auto row = [&](int y) { return bits + (y + pad) * stride + pad; };

    // Light from the top right: the body of the raised text falls to the
    // bottom left in a shade of the button face, a thin lit rim to the top right.
    const QColor face = palette().color(QPalette::Button);
    const QColor side = face.darker(160);
    const QColor rim = face.lighter(115);
    // The fill colour of each row: one colour, or the gradient from the top of
    // the text to its bottom.
    const QRectF text = m_path.boundingRect();
    std::vector<QRgb> rowColour(size_t(h), m_color.rgb());
    if (m_gradient) {
        const QColor a = m_gradient->first, b = m_gradient->second;
        for (int y = 0; y < h; ++y) {
            const qreal t = std::clamp(
                (box.top() + y + 0.5 - text.top()) / std::max<qreal>(1, text.height()), 0.0, 1.0);
            rowColour[size_t(y)] = qRgb(int(a.red() + (b.red() - a.red()) * t),
                                        int(a.green() + (b.green() - a.green()) * t),
                                        int(a.blue() + (b.blue() - a.blue()) * t));
        }
    }

    const QRgb sideRgb = side.rgb();
    const QRgb rimRgb = rim.rgb();
    m_image = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        QRgb *out = reinterpret_cast<QRgb *>(m_image.scanLine(y));
        const uchar *body = row(y);
        const uchar *lit = row(y + 1) - 1;
        const QRgb fill = rowColour[size_t(y)];
        for (int x = 0; x < w; ++x) {
            int s = 0;
            for (int i = 1; i <= m_depth; ++i)
                s = std::max<int>(s, row(y - i)[x + i]);
            const int l = m_depth > 0 ? lit[x] : 0;
            const int b = body[x];
            if ((s | l | b) == 0) {
                out[x] = 0;
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
            out[x] = qRgba(r, g, bl, al);
        }
    }
}

void GraphicLabel::paintEvent(QPaintEvent *)
{
    if (m_dirty)
        render();
    if (m_image.isNull())
        return;
    QPainter p(this);
    p.drawImage(m_imageAt, m_image);
}

namespace {
bool hasFamily(const QString &family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
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
