#pragma once
// The signal log window: the header blocks and measurement lines of every
// log run since the program started, and their saving.
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

// Логирование сигнала
class TForm7 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm7(QWidget *parent = nullptr);

    QLabel *Label1;
    QListWidget *ListBox1;
    QPushButton *SpeedButton1; // save
    QPushButton *SpeedButton2; // copy to clipboard: never enabled

    void SpeedButton1Click();
};
