#include "scan/chart.h"

#include <memory>

#include "platform/textfile.h"

#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedBarSeries>
#include <QTimer>
#include <QValueAxis>

#include <algorithm>

namespace scan {
namespace {

QFont arialPx(int pixels, bool bold = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

const QColor kMoneyGreen(192, 220, 192);
constexpr int kMarkGap = 20;   // px between a bar's top and its value mark
constexpr int kTickLength = 3; // px of the bottom axis' ticks
constexpr int kLabelGap = 2;   // px between a tick and its label

// A value mark: black text on white, no frame.
class MarkItem : public QGraphicsSimpleTextItem
{
public:
    MarkItem(const QString &text, QGraphicsItem *parent) : QGraphicsSimpleTextItem(text, parent)
    {
        setFont(arialPx(8));
        setBrush(Qt::black);
    }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override
    {
        painter->fillRect(boundingRect(), Qt::white);
        QGraphicsSimpleTextItem::paint(painter, option, widget);
    }
};

} // namespace

BarSeries::BarSeries(QObject *parent) : QObject(parent)
{}

void BarSeries::clear()
{
    m_bars.clear();
    emit cleared();
}

void BarSeries::addBar(int x, int value, const QString &label, const QColor &colour)
{
    m_bars.append(Bar{x, value, label, colour});
    emit barAdded();
}

BarChart::BarChart(QWidget *parent, const char *name, const char *seriesName)
    : QChartView(parent), m_series(new BarSeries(this))
{
    setObjectName(QLatin1String(name));
    m_series->setObjectName(QLatin1String(seriesName));
    setFrameShape(QFrame::NoFrame);
    setBackgroundBrush(kMoneyGreen);
    setRubberBand(QChartView::NoRubberBand);

    auto *c = new QChart;
    c->legend()->hide();
    c->setBackgroundRoundness(0);
    c->setDropShadowEnabled(false);
    c->setBackgroundPen(Qt::NoPen);
    QLinearGradient gradient(0, 0, 0, 1);
    gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(1, QColor(0, 255, 255));
    c->setBackgroundBrush(gradient);
    // The white back wall is ours: Qt Charts sizes its own to the automatic
    // layout, not to the plot area placed by placePlotArea().
    c->setPlotAreaBackgroundVisible(false);
    c->setTitleBrush(QColor(0, 0, 255));
    c->setTitleFont(arialPx(11, true));
    c->setAnimationOptions(QChart::NoAnimation);

    m_stack = new QStackedBarSeries;
    m_stack->setBarWidth(0.65);
    c->addSeries(m_stack);

    // Places, not categories: a category axis slows down with every name
    // added, and the labels are ours anyway (see layOutItems()).
    m_axisX = new QValueAxis;
    m_axisX->setLabelsVisible(false);
    m_axisX->setGridLineVisible(false);
    m_axisX->setMinorGridLineVisible(false);
    m_axisX->setTickCount(2);
    m_axisX->setRange(-0.5, 0.5);
    m_axisX->setLinePen(QPen(Qt::black, 1));
    c->addAxis(m_axisX, Qt::AlignBottom);
    m_stack->attachAxis(m_axisX);

    m_axisY = new QValueAxis;
    m_axisY->setRange(0, 100);
    m_axisY->setTickCount(6);
    m_axisY->setLabelFormat(QStringLiteral("%d"));
    // The axis title is ours too: Qt Charts would shorten it to "..." on a
    // plot this low.
    m_axisY->setTitleVisible(false);
    m_axisY->setLabelsFont(arialPx(12));
    m_axisY->setLabelsBrush(Qt::black);
    m_axisY->setLinePen(QPen(QColor(0, 0, 255), 1));
    m_axisY->setGridLineVisible(false);
    m_axisY->setMinorGridLineVisible(false);
    c->addAxis(m_axisY, Qt::AlignLeft);
    m_stack->attachAxis(m_axisY);

    // The view made a chart of its own and only lets go of it here.
    std::unique_ptr<QChart> made(chart());
    setChart(c);
    c->layout()->setContentsMargins(0, 0, 0, 0); // the gradient covers the whole panel
    c->setMargins(QMargins(0, 2, 0, 0));         // the title at the top; see placePlotArea()
    m_backWall = new QGraphicsRectItem(c);
    m_backWall->setBrush(Qt::white);
    m_backWall->setPen(Qt::NoPen);
    m_backWall->setZValue(-0.5); // above the panel, below axes and bars
    m_axisTitle = new QGraphicsSimpleTextItem(QStringLiteral("качество сигнала в % "), c);
    m_axisTitle->setFont(arialPx(13));
    m_axisTitle->setBrush(Qt::black);
    m_axisTitle->setRotation(-90);
    reserveLabelRoom(QStringLiteral("00000"));

    m_syncTimer = new QTimer(this);
    m_syncTimer->setSingleShot(true);
    m_syncTimer->setInterval(100);
    connect(m_syncTimer, &QTimer::timeout, this, &BarChart::syncBars);
    connect(m_series, &BarSeries::cleared, this, [this] {
        m_syncTimer->stop();
        rebuild();
    });
    connect(m_series, &BarSeries::barAdded, this, [this] {
        if (!m_syncTimer->isActive())
            m_syncTimer->start();
    });
    connect(c, &QChart::plotAreaChanged, this, &BarChart::scheduleItemLayout);
    connect(m_axisY, &QValueAxis::rangeChanged, this, &BarChart::scheduleItemLayout);
}

void BarChart::setTitleLines(const QString &first, const QString &second)
{
    m_titleLines = {first, second};
    // The title is rich text: names are escaped, and "<br>" breaks the line.
    chart()->setTitle(first.toHtmlEscaped() + QStringLiteral("<br>") + second.toHtmlEscaped());
}

void BarChart::rebuild()
{
    m_stack->clear();
    m_sets.clear();
    m_axisX->setRange(-0.5, 0.5);
    m_barAt.clear();
    qDeleteAll(m_labels);
    m_labels.clear();
    qDeleteAll(m_marks);
    m_marks.clear();
    m_synced = 0;
    syncBars();
}

void BarChart::syncNow()
{
    m_syncTimer->stop();
    syncBars();
}

void BarChart::syncBars()
{
    const QList<Bar> &bars = m_series->bars();
    if (m_synced == bars.size())
        return;
    // Bars normally come in order of x, one place after the other; anything
    // else is laid out again from the start.
    bool inOrder = true;
    int next = m_barAt.isEmpty() ? bars[m_synced].x : m_firstX + int(m_barAt.size());
    for (qsizetype i = m_synced; i < bars.size() && inOrder; ++i, ++next)
        inOrder = bars[i].x == next;
    if (!inOrder && m_synced > 0) {
        rebuild();
        return;
    }
    if (inOrder) {
        appendCategories(bars, m_synced);
    } else {
        // From empty, out of order: one category per place from the lowest x.
        int lo = bars.first().x, hi = lo;
        for (const Bar &b : bars) {
            lo = std::min(lo, b.x);
            hi = std::max(hi, b.x);
        }
        QList<Bar> placed(hi - lo + 1);
        QList<bool> filled(hi - lo + 1, false);
        for (const Bar &b : bars) { // a later bar at the same place covers the earlier one
            placed[b.x - lo] = b;
            filled[b.x - lo] = true;
        }
        for (qsizetype k = 0; k < placed.size(); ++k)
            if (!filled[k])
                placed[k] = Bar{lo + int(k), 0, QString(), QColor()};
        m_firstX = lo;
        appendCategories(placed, 0);
    }
    m_synced = bars.size();
    scheduleItemLayout();
}

// Adds one category per bar from `from` on: the bar's value in the set of its
// colour and 0 in the others, its label and its value mark.
void BarChart::appendCategories(const QList<Bar> &bars, qsizetype from)
{
    if (m_barAt.isEmpty())
        m_firstX = bars[from].x;
    for (qsizetype i = from; i < bars.size(); ++i) {
        if (bars[i].colour.isValid() && std::none_of(m_sets.begin(), m_sets.end(), [&](QBarSet *s) {
                return s->color() == bars[i].colour;
            })) {
            auto *set = new QBarSet(bars[i].colour.name());
            set->setColor(bars[i].colour);
            set->setPen(Qt::NoPen);
            const qsizetype before = m_barAt.size();
            set->append(QList<qreal>(before, 0));
            m_sets.append(set);
            m_stack->append(set);
        }
    }
    QList<QList<qreal>> values(m_sets.size());
    for (qsizetype i = from; i < bars.size(); ++i) {
        const Bar &bar = bars[i];
        for (qsizetype s = 0; s < m_sets.size(); ++s)
            values[s] << (m_sets[s]->color() == bar.colour ? bar.value : 0);
        const bool empty = !bar.colour.isValid();
        m_barAt.append(empty ? -1 : bar.value);
        if (empty)
            continue;
        auto *label = new QGraphicsSimpleTextItem(bar.label, chart());
        label->setFont(arialPx(11));
        label->setBrush(Qt::black);
        label->setRotation(-90);
        m_labels.append(label);
        m_marks.append(new MarkItem(QString::number(bar.value), chart()));
        reserveLabelRoom(bar.label);
    }
    m_axisX->setRange(-0.5, m_barAt.size() - 0.5);
    for (qsizetype s = 0; s < m_sets.size(); ++s)
        m_sets[s]->append(values[s]);
}

void BarChart::reserveLabelRoom(const QString &label)
{
    const int width = QFontMetrics(arialPx(11)).horizontalAdvance(label);
    if (width <= m_labelRoom)
        return;
    m_labelRoom = width;
    placePlotArea(size());
}

// The plot is placed by hand: below the two title lines with room for the
// mark of a full bar, right of our axis title and the value labels, above the
// turned frequency labels.
void BarChart::placePlotArea(const QSize &chartSize)
{
    const int titleHeight = 2 + 2 * QFontMetrics(arialPx(11, true)).lineSpacing() + 8;
    const int markRoom = kMarkGap + QFontMetrics(arialPx(8)).height();
    const int axisTitleRoom = QFontMetrics(arialPx(13)).height() + 4;
    const int valueLabelRoom =
        QFontMetrics(arialPx(12)).horizontalAdvance(QStringLiteral("100")) + 10;
    const int labelRoom = kTickLength + kLabelGap + m_labelRoom + 3;
    const QRectF plot(QPointF(axisTitleRoom + valueLabelRoom, titleHeight + markRoom),
                      QPointF(chartSize.width() - 12, chartSize.height() - labelRoom));
    if (!plot.isValid())
        return;
    chart()->setPlotArea(plot);
    // The plot area alone does not move the axes and bars: lay them out again.
    if (QGraphicsLayout *l = chart()->layout())
        l->invalidate();
}

void BarChart::resizeEvent(QResizeEvent *event)
{
    QChartView::resizeEvent(event);
    placePlotArea(size());
}

void BarChart::scheduleItemLayout()
{
    if (m_layoutPending)
        return;
    m_layoutPending = true;
    QTimer::singleShot(0, this, [this] {
        if (m_layoutPending)
            layOutItems();
    });
}

void BarChart::layOutItems()
{
    m_layoutPending = false;
    const QRectF plot = chart()->plotArea();
    m_backWall->setRect(plot);
    const QRectF t = m_axisTitle->boundingRect();
    m_axisTitle->setPos(2, plot.center().y() + t.width() / 2);
    int item = 0;
    // Items were made in category order, one per filled category.
    for (int k = 0; k < m_barAt.size() && item < m_labels.size(); ++k) {
        const int value = m_barAt[k];
        if (value < 0)
            continue;
        const QPointF top = chart()->mapToPosition(QPointF(k, value), m_stack);
        QGraphicsItem *label = m_labels[item];
        const QRectF r = label->boundingRect();
        // Turned 90 degrees: the text runs upwards and ends under its tick.
        label->setPos(top.x() - r.height() / 2,
                      plot.bottom() + kTickLength + kLabelGap + r.width());
        QGraphicsItem *mark = m_marks[item];
        const QRectF m = mark->boundingRect();
        mark->setPos(top.x() - m.width() / 2, top.y() - kMarkGap - m.height());
        const bool shown = plot.contains(QPointF(top.x(), plot.center().y()));
        mark->setVisible(shown && top.y() >= plot.top() - 1 && top.y() <= plot.bottom() + 1);
        ++item;
    }
}

QStringList BarChart::drawnLabels() const
{
    QStringList texts;
    for (QGraphicsItem *item : m_labels)
        if (item->isVisible())
            texts << static_cast<QGraphicsSimpleTextItem *>(item)->text();
    return texts;
}

QList<QRectF> BarChart::labelRects() const
{
    QList<QRectF> rects;
    for (QGraphicsItem *item : m_labels)
        if (item->isVisible())
            rects << item->sceneBoundingRect();
    return rects;
}

QImage BarChart::renderImage()
{
    const QSize own = size();
    if (!isVisible()) {
        // Never shown: the scene has not been laid out for our size yet.
        chart()->resize(own);
        placePlotArea(own);
        if (QGraphicsLayout *l = chart()->layout())
            l->activate();
    }
    syncNow();
    layOutItems();
    QImage image(own, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    scene()->render(&painter, QRectF(QPointF(0, 0), own), QRectF(QPointF(0, 0), own));
    painter.end();
    return image;
}

void BarChart::saveBmp(const QString &path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    renderImage().save(&buffer, "BMP");
    platform::writeFileAtomically(path, bytes);
}

// Panning is vertical only; there is no zooming.
void BarChart::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        m_panning = true;
        m_panY = int(event->position().y());
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void BarChart::mouseMoveEvent(QMouseEvent *event)
{
    if (m_panning) {
        const int y = int(event->position().y());
        chart()->scroll(0, y - m_panY);
        m_panY = y;
        event->accept();
        return;
    }
    QChartView::mouseMoveEvent(event);
}

void BarChart::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_panning && event->button() == Qt::RightButton) {
        m_panning = false;
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

} // namespace scan
