#pragma once
// Small helpers for windows laid out at fixed pixel positions, as the control
// tables give them. Every control gets its table name as object name.
#include <QString>
#include <QStringList>
#include <Qt>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QWidget;

namespace platform {

// An auto-sized label whose top left corner is at (x, y).
QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, int x, int y);
// A thin raised panel used as a divider.
QFrame *makePanel(QWidget *parent, const char *name, int x, int y, int w, int h);
QLineEdit *makeEdit(QWidget *parent, const char *name, const QString &text, int x, int y, int w,
                    int h = 21);
// A pick-only drop-down list.
QComboBox *makeCombo(QWidget *parent, const char *name, const QStringList &items, int x, int y,
                     int w, int h);
QCheckBox *makeCheck(QWidget *parent, const char *name, const QString &text, int x, int y, int w,
                     int h);
QRadioButton *makeRadio(QWidget *parent, const char *name, const QString &text, int x, int y, int w,
                        int h = 17);
// A push button that takes no keyboard focus, optionally with a 16x16 picture
// from the resources.
QPushButton *makeButton(QWidget *parent, const char *name, const QString &text, int x, int y, int w,
                        int h, const QString &icon = QString());
QListWidget *makeList(QWidget *parent, const char *name, int x, int y, int w, int h);

// Centres a top-level window on the screen it is on.
void centreOnScreen(QWidget *window);
// Centres the window when it is first shown; later shows keep its place.
void centreOnFirstShow(QWidget *window);
// A fixed window with a caption, system menu, minimise and close box, and no
// maximise box.
Qt::WindowFlags fixedWindowFlags();
// Gives a top-level window a fixed client size.
void setFixedClientSize(QWidget *window, int w, int h);
// The font of the classic dialogs: "MS Sans Serif" 8 pt, shown with a narrow
// sans face on systems without it.
void useDialogFont(QWidget *window);

} // namespace platform
