#include "monitor/form5.h"

#include "app/globals.h"
#include "monitor/graphiclabel.h"
#include "platform/guard.h"
#include "platform/widgets.h"

#include <QCloseEvent>
#include <QFrame>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

namespace {

constexpr int kOuterWidth = 1014;
constexpr int kOuterHeight = 483;
const QColor kBackground(240, 251, 255);

// The window's plain background. It fills what needs repainting rectangle by
// rectangle, each under a plain clip: a fill under a clip of many rectangles
// goes through the raster engine's span path, which hands large areas to
// worker threads and costs more in wake-ups than the fill itself.
class Backdrop : public QWidget
{
public:
    explicit Backdrop(QWidget *parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter p(this);
        const QColor colour = palette().color(QPalette::Window);
        for (const QRect &r : event->region()) {
            p.setClipRect(r);
            p.fillRect(r, colour);
        }
    }
};

monitor::GraphicLabel *makeNumber(QWidget *parent, const char *name, int x, int y)
{
    auto *l = new monitor::GraphicLabel(parent, name);
    l->setGeometry(x, y, 457, 490);
    l->setTextFont(monitor::numberFont(320));
    l->setRaisedDepth(4);
    // The digits stand on the line where Impact's ascent (about 1.01 em) puts
    // them, whichever face draws them, so they clear the top of the window.
    l->setBaseline(323);
    l->setColor(QColor(0, 0, 128));
    // Nothing but the background lies under the numbers: the titles and the
    // divider are above them and the two never meet.
    l->setBackdrop(kBackground);
    l->setText(QStringLiteral("100"));
    return l;
}

monitor::GraphicLabel *makeTitle(QWidget *parent, const char *name, const QString &text, int x,
                                 int y, int w)
{
    auto *l = new monitor::GraphicLabel(parent, name);
    l->setGeometry(x, y, w, 38);
    l->setTextFont(monitor::titleFont(32));
    l->setRaisedDepth(2);
    l->setColor(QColor(0, 0, 255));
    l->setGradient(QColor(255, 0, 0), QColor(255, 255, 0));
    l->setText(text);
    return l;
}

} // namespace

TForm5::TForm5(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Уровни сигнала"));
    platform::useDialogFont(this);
    // Until a window manager reports its frame, the client takes the outer size.
    resize(kOuterWidth, kOuterHeight);

    Shape1 = new Backdrop(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    QPalette fill = Shape1->palette();
    fill.setColor(QPalette::Window, kBackground);
    Shape1->setPalette(fill);
    Shape1->setGeometry(rect());

    LMDGraphicLabel1 = makeNumber(this, "LMDGraphicLabel1", 10, -56);
    LMDGraphicLabel2 = makeNumber(this, "LMDGraphicLabel2", 510, -65);
    LMDGraphicLabel3 =
        makeTitle(this, "LMDGraphicLabel3", QStringLiteral("СИГНАЛ (L)"), 120, 376, 177);
    LMDGraphicLabel4 =
        makeTitle(this, "LMDGraphicLabel4", QStringLiteral("КАЧЕСТВО (Q)"), 656, 376, 233);

    Panel3 = platform::makePanel(this, "Panel3", 494, 8, 9, 409);
    Panel3->setAutoFillBackground(true);
    QPalette green = Panel3->palette();
    green.setColor(QPalette::Window, QColor(192, 220, 192));
    Panel3->setPalette(green);
}

void TForm5::FormClose()
{
    MeterState = 5;
}

void TForm5::closeEvent(QCloseEvent *event)
{
    platform::guarded([this] { FormClose(); });
    // The window only hides; it lives until the program ends.
    event->accept();
}

void TForm5::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    // Keep the outer size once the frame is known, then centre on the desktop.
    const QSize frame = frameGeometry().size() - geometry().size();
    if (!frame.isEmpty())
        resize(kOuterWidth - frame.width(), kOuterHeight - frame.height());
    platform::centreOnScreen(this);
}

void TForm5::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Shape1->setGeometry(rect());
}
