#include "platform/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QWidget>

namespace platform {

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, int x, int y)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->move(x, y);
    l->adjustSize();
    return l;
}

QFrame *makePanel(QWidget *parent, const char *name, int x, int y, int w, int h)
{
    auto *p = new QFrame(parent);
    p->setObjectName(QLatin1String(name));
    p->setFrameStyle(QFrame::Panel | QFrame::Raised);
    p->setLineWidth(1);
    p->setGeometry(x, y, w, h);
    return p;
}

QLineEdit *makeEdit(QWidget *parent, const char *name, const QString &text, int x, int y, int w,
                    int h)
{
    auto *e = new QLineEdit(text, parent);
    e->setObjectName(QLatin1String(name));
    e->setGeometry(x, y, w, h);
    return e;
}

QComboBox *makeCombo(QWidget *parent, const char *name, const QStringList &items, int x, int y,
                     int w, int h)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setEditable(false);
    c->addItems(items);
    c->setCurrentIndex(-1);
    c->setGeometry(x, y, w, h);
    return c;
}

QCheckBox *makeCheck(QWidget *parent, const char *name, const QString &text, int x, int y, int w,
                     int h)
{
    auto *c = new QCheckBox(text, parent);
    c->setObjectName(QLatin1String(name));
    c->setGeometry(x, y, w, h);
    return c;
}

QRadioButton *makeRadio(QWidget *parent, const char *name, const QString &text, int x, int y, int w,
                        int h)
{
    auto *r = new QRadioButton(text, parent);
    r->setObjectName(QLatin1String(name));
    r->setGeometry(x, y, w, h);
    return r;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text, int x, int y, int w,
                        int h, const QString &icon)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    if (!icon.isEmpty()) {
        b->setIcon(QIcon(icon));
        b->setIconSize(QSize(16, 16));
    }
    b->setGeometry(x, y, w, h);
    return b;
}

QListWidget *makeList(QWidget *parent, const char *name, int x, int y, int w, int h)
{
    auto *l = new QListWidget(parent);
    l->setObjectName(QLatin1String(name));
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->setUniformItemSizes(true); // keeps long lists cheap to lay out
    l->setGeometry(x, y, w, h);
    return l;
}

void centreOnScreen(QWidget *window)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    window->move(area.center() - QPoint(frame.width() / 2, frame.height() / 2) +
                 (window->pos() - frame.topLeft()));
}

namespace {
class CentreOnFirstShow : public QObject
{
public:
    explicit CentreOnFirstShow(QWidget *window) : QObject(window)
    {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            centreOnScreen(static_cast<QWidget *>(watched));
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};
} // namespace

void centreOnFirstShow(QWidget *window)
{
    new CentreOnFirstShow(window);
}

Qt::WindowFlags fixedWindowFlags()
{
    return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
}

void setFixedClientSize(QWidget *window, int w, int h)
{
    window->setFixedSize(w, h);
}

void useDialogFont(QWidget *window)
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSize(8);
    window->setFont(f);
}

} // namespace platform
