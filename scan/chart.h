#pragma once
// The bar chart of the signal charts window: one bar series whose bars each
// carry their own colour, a frequency label turned 90 degrees and a value mark.
// Qt Charts draws the bars; the labels and marks are our own scene items, so
// that none of them is ever dropped or shortened for lack of room.
#include <QChartView>
#include <QColor>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

class QBarSet;
class QGraphicsItem;
class QGraphicsRectItem;
class QGraphicsSimpleTextItem;
class QStackedBarSeries;
class QTimer;
class QValueAxis;

namespace scan {

struct Bar
{
    int x = 0;     // position on the bottom axis
    int value = 0; // height, 0..100
    QString label; // text under the bar
    QColor colour;
};

// The bars of one chart, in the order added.
class BarSeries : public QObject
{
    Q_OBJECT
public:
    explicit BarSeries(QObject *parent = nullptr);
    void clear();
    void addBar(int x, int value, const QString &label, const QColor &colour);
    int count() const { return int(m_bars.size()); }
    const QList<Bar> &bars() const { return m_bars; }

signals:
    void cleared();
    void barAdded();

private:
    QList<Bar> m_bars;
};

class BarChart : public QChartView
{
    Q_OBJECT
public:
    BarChart(QWidget *parent, const char *name, const char *seriesName);

    BarSeries *series() const { return m_series; }

    // The title, drawn as two lines.
    void setTitleLines(const QString &first, const QString &second);
    QStringList titleLines() const { return m_titleLines; }

    // Hands bars added since the last time to the drawing now; it otherwise
    // happens a moment later, so that a long run of bars is drawn a few times
    // rather than once per bar.
    void syncNow();

    // The chart drawn on white into an image of the chart's own size; a chart
    // that was never shown is laid out first.
    QImage renderImage();
    // Writes renderImage() as a BMP file; raises IoError naming the file.
    void saveBmp(const QString &path);

    // What the bottom axis shows, left to right, and how many value marks
    // are drawn (for checks).
    QStringList drawnLabels() const;
    QList<QRectF> labelRects() const; // in the chart's own pixels
    int drawnMarks() const { return int(m_marks.size()); }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void rebuild();
    void syncBars();
    void appendCategories(const QList<Bar> &bars, qsizetype from);
    void reserveLabelRoom(const QString &label);
    void placePlotArea(const QSize &chartSize);
    void scheduleItemLayout();
    void layOutItems();

    BarSeries *m_series;
    QStringList m_titleLines;
    QStackedBarSeries *m_stack;
    QList<QBarSet *> m_sets; // red, blue, green, then any other colour
    QValueAxis *m_axisX;
    QValueAxis *m_axisY;
    // Value of each category from the lowest x; -1 for a place without a bar.
    QList<int> m_barAt;
    int m_firstX = 0;
    QGraphicsRectItem *m_backWall;
    QGraphicsSimpleTextItem *m_axisTitle;
    QList<QGraphicsItem *> m_labels;
    QList<QGraphicsItem *> m_marks;
    int m_labelRoom = 0;
    qsizetype m_synced = 0; // bars of the series already handed to Qt Charts
    QTimer *m_syncTimer;
    bool m_layoutPending = false;
    bool m_panning = false;
    int m_panY = 0;
};

} // namespace scan
