#pragma once
// The DVB-S2 FEC search's result window; the search itself is a handler of
// the main window.
#include <QWidget>

class QListWidget;

// Поиск DVB-S2 fec
class TForm6 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm6(QWidget *parent = nullptr);

    QListWidget *ListBox1;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_placed = false;
};
