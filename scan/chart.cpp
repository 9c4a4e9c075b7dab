#include "scan/chart.h"

#include "platform/textfile.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedBarSeries>
#include <QTimer>
#include <QValueAxis>

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
constexpr int kMarkGap = 20;    // px between a bar's top and its value mark
constexpr int kTickLength = 3;  // px of the bottom axis' ticks
constexpr int kLabelGap = 2;    // px between a tick and its label

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

BarSeries::BarSeries(QObject *parent) : QObject(parent) {}

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
    c->setPlotAreaBackgroundVisible(true);
    c->setPlotAreaBackgroundBrush(Qt::white);
    c->setPlotAreaBackgroundPen(Qt::NoPen);
    c->setTitleBrush(QColor(0, 0, 255));
    c->setTitleFont(arialPx(11, true));
    c->setAnimationOptions(QChart::NoAnimation);

    m_stack = new QStackedBarSeries;
    m_stack->setBarWidth(0.65);
    c->addSeries(m_stack);

    m_axisX = new QBarCategoryAxis;
    m_axisX->setLabelsVisible(false); // drawn by ourselves, see layOutItems()
    m_axisX->setGridLineVisible(false);
    m_axisX->setLinePen(QPen(Qt::black, 1));
    c->addAxis(m_axisX, Qt::AlignBottom);
    m_stack->attachAxis(m_axisX);

    m_axisY = new QValueAxis;
    m_axisY->setRange(0, 100);
    m_axisY->setTickCount(6);
    m_axisY->setLabelFormat(QStringLiteral("%d"));
    m_axisY->setTitleText(QStringLiteral("качество сигнала в % "));
    m_axisY->setTitleFont(arialPx(13));
    m_axisY->setTitleBrush(Qt::black);
    m_axisY->setLabelsFont(arialPx(12));
    m_axisY->setLabelsBrush(Qt::black);
    m_axisY->setLinePen(QPen(QColor(0, 0, 255), 1));
    m_axisY->setGridLineVisible(false);
    m_axisY->setMinorGridLineVisible(false);
    c->addAxis(m_axisY, Qt::AlignLeft);
    m_stack->attachAxis(m_axisY);

    setChart(c);
    reserveLabelRoom(QStringLiteral("00000"));

    connect(m_series, &BarSeries::cleared, this, &BarChart::rebuild);
    connect(m_series, &BarSeries::barAdded, this, &BarChart::appendLast);
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
    m_axisX->clear();
    m_barAt.clear();
    qDeleteAll(m_labels);
    m_labels.clear();
    qDeleteAll(m_marks);
    m_marks.clear();
    const QList<Bar> &bars = m_series->bars();
    if (bars.isEmpty())
        return;
    int lo = bars.first().x, hi = lo;
    for (const Bar &b : bars) {
        lo = std::min(lo, b.x);
        hi = std::max(hi, b.x);
    }
    m_firstX = lo;
    m_barAt.fill(-1, hi - lo + 1);
    for (int i = 0; i < bars.size(); ++i)
        m_barAt[bars[i].x - lo] = i; // a later bar at the same place covers the earlier one

    QStringList keys;
    for (int k = 0; k < m_barAt.size(); ++k)
        keys << QString::number(lo + k);
    m_axisX->append(keys);
    for (int k = 0; k < m_barAt.size(); ++k) {
        const int i = m_barAt[k];
        if (i < 0) {
            for (QBarSet *set : m_sets)
                set->append(0);
            continue;
        }
        appendToModel(bars[i]);
    }
    scheduleItemLayout();
}

void BarChart::appendLast()
{
    const QList<Bar> &bars = m_series->bars();
    const Bar &bar = bars.last();
    // Bars come in order of x, one place after the other; anything else is
    // laid out again from the start.
    if (!m_barAt.isEmpty() && bar.x != m_firstX + m_barAt.size()) {
        rebuild();
        return;
    }
    if (m_barAt.isEmpty())
        m_firstX = bar.x;
    m_barAt.append(int(bars.size()) - 1);
    m_axisX->append(QString::number(bar.x));
    appendToModel(bar);
    scheduleItemLayout();
}

// One more category: the bar's value in the set of its colour, 0 in the others.
void BarChart::appendToModel(const Bar &bar)
{
    QBarSet *own = nullptr;
    for (QBarSet *set : m_sets)
        if (set->color() == bar.colour)
            own = set;
    if (!own) {
        own = new QBarSet(bar.colour.name());
        own->setColor(bar.colour);
        own->setPen(Qt::NoPen);
        own->setBorderColor(Qt::transparent);
        const int before = m_sets.isEmpty() ? 0 : int(m_sets.first()->count());
        for (int k = 0; k < before; ++k)
            own->append(0);
        m_sets.append(own);
        m_stack->append(own);
    }
    for (QBarSet *set : m_sets)
        set->append(set == own ? bar.value : 0);

    auto *label = new QGraphicsSimpleTextItem(bar.label, chart());
    label->setFont(arialPx(11));
    label->setBrush(Qt::black);
    label->setRotation(-90);
    m_labels.append(label);
    auto *mark = new MarkItem(QString::number(bar.value), chart());
    m_marks.append(mark);
    reserveLabelRoom(bar.label);
}

void BarChart::reserveLabelRoom(const QString &label)
{
    const int width = QFontMetrics(arialPx(11)).horizontalAdvance(label);
    if (width <= m_labelRoom)
        return;
    m_labelRoom = width;
    chart()->setMargins(QMargins(4, 2, 10, kTickLength + kLabelGap + width + 2));
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
    const QList<Bar> &bars = m_series->bars();
    int item = 0;
    // Items were made in category order, one per filled category.
    for (int k = 0; k < m_barAt.size() && item < m_labels.size(); ++k) {
        const int i = m_barAt[k];
        if (i < 0)
            continue;
        const Bar &bar = bars[i];
        const QPointF top = chart()->mapToPosition(QPointF(k, bar.value), m_stack);
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
        if (QGraphicsLayout *l = chart()->layout())
            l->activate();
    }
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
