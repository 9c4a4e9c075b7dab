#pragma once
// A large text label painted as outlines: raised text lit from the top right,
// filled with one colour or a vertical gradient, on a transparent background.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QWidget>
#include <optional>

namespace monitor {

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

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void rebuildPath();
    void render();

    QString m_text;
    QColor m_color;
    std::optional<std::pair<QColor, QColor>> m_gradient;
    QFont m_font;
    int m_depth = 0;
    int m_baseline = -1; // from the top; -1: the font's ascent
    QPainterPath m_path; // the text's outline
    // The label as last drawn: repaints (moves, overlapping siblings) only
    // copy it; it is drawn again when text, colour or style change.
    QImage m_image;
    QPoint m_imageAt;
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
