#include "scan/form6.h"

#include "platform/widgets.h"

#include <QListWidget>

namespace {
// Outer size and place of the window, frame included.
const QRect kFrame(495, 307, 527, 472);
} // namespace

TForm6::TForm6(QWidget *parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Поиск DVB-S2 fec"));
    platform::useDialogFont(this);
    move(kFrame.topLeft());
    resize(kFrame.size());
    ListBox1 = platform::makeList(this, "ListBox1", 8, 8, 497, 425);
}

void TForm6::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    // The frame is known once the window is shown: keep the outer size exact
    // (without a window manager the frame is the client area).
    const QRect frame = frameGeometry();
    resize(kFrame.width() - (frame.width() - width()),
           kFrame.height() - (frame.height() - height()));
    move(kFrame.topLeft());
}
