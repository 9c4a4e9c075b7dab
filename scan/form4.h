#pragma once
// Графическое представление сигнала: the transponders caught by the last scan
// as bars over three charts, and saving them as BMP images.
#include <QWidget>

class QPushButton;
namespace scan {
class BarChart;
class BarSeries;
} // namespace scan

class TForm4 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);

    scan::BarChart *Chart1, *Chart2, *Chart3;
    scan::BarSeries *Series1, *BarSeries1, *BarSeries2; // the one series of each chart
    QPushButton *SpeedButton1; // Сохранить графики; hidden until a scan ends

    void SpeedButton1Click(); // save the charts in use as BMP files
};
