#pragma once
// A large text label painted as outlines: raised text lit from the top right,
// filled with one colour or a vertical gradient, on a transparent background.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QWidget>
#include <optional>

namespace monitor {

// The coverage of a text and of its raised side, in label coordinates: `body`
// and `side` are Alpha8 images of one size whose top left pixel is `at`.
// `bounds` is the outline's own box, which a gradient spans.
struct TextMasks
{
    QImage body;
    QImage side;
    QPoint at;
    QRectF bounds;
    bool isNull() const { return body.isNull(); }
    QRect rect() const { return QRect(at, body.size()); }
};

// Rasterises the whole outline of `text`, its pen starting at (depth, baseline).
TextMasks textMasksFromPath(const QFont &font, const QString &text, int depth, int baseline);
// The same from per-character masks kept between calls; only for texts made
// of digits and '-' (empty result otherwise).
TextMasks textMasksFromGlyphs(const QFont &font, const QString &text, int depth, int baseline);

class GraphicLabel : public QWidget
{
    Q_OBJECT
public:
    GraphicLabel(QWidget *parent, const char *name);

    QString text() const { return m_text; }
    void setText(const QString &text);
    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    // A fill from `top` (upper edge of the text) to `bottom`; replaces the colour.
    void setGradient(const QColor &top, const QColor &bottom);
    // Depth of the raised effect in pixels; 0 for flat text.
    void setRaisedDepth(int px);
    void setTextFont(const QFont &font);
    // Puts the baseline `px` below the top instead of at the font's ascent.
    void setBaseline(int px);
    // Declares what lies under the whole label as one opaque colour: the label
    // then paints that colour itself and nothing below it is repainted with it.
    void setBackdrop(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void rebuildMasks();
    void render();
    void updateImageArea();

    QString m_text;
    QColor m_color;
    std::optional<std::pair<QColor, QColor>> m_gradient;
    std::optional<QColor> m_backdrop;
    QFont m_font;
    int m_depth = 0;
    int m_baseline = -1; // from the top; -1: the font's ascent
    TextMasks m_masks;
    // The text as last drawn: repaints (moves, overlapping siblings) only
    // copy it; it is coloured again when text, colour or style change.
    QImage m_image;
    bool m_dirty = true;
};

// The face of the two big numbers: Impact where it really exists, otherwise a
// narrow bold sans of about the same width. Fontconfig answers a request for
// "Impact" with a symbol font on some systems, so the families are checked
// one by one instead of being left to its substitution.
QFont numberFont(int pixelHeight);
// Arial's face, or its metric twin.
QFont titleFont(int pixelHeight);

} // namespace monitor
