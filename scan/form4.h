#pragma once
#include <QWidget>

// Графическое представление сигнала
class TForm4 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);
};
