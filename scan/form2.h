#pragma once
// Сканирование транспондеров: the result lines and counters of a satellite
// scan, its cancel button, the charts button and the text report.
#include <QWidget>

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class TForm2 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);

    QListWidget *ListBox1;
    QFrame *Panel1, *Panel2;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;
    QLineEdit *Edit1;
    QPushButton *SpeedButton1; // Сохранить: enabled exactly while no scan runs
    QPushButton *SpeedButton2; // Отмена: "ожидайте" while a stop is asked for
    QPushButton *SpeedButton3; // График

    void SpeedButton1Click(); // save the report
    void SpeedButton2Click(); // ask a running scan to stop
    void SpeedButton3Click(); // show the charts window

    // Appends a line to ListBox1 so that the next message point shows it: the
    // list's own layout waits for an idle moment that a scan does not have.
    void addLine(const QString &line);

    // Every line of ListBox1, in order.
    QStringList lines() const;
};
