#pragma once
#include <QWidget>

// Уровни сигнала
class TForm5 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm5(QWidget *parent = nullptr);
};
