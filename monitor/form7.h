#pragma once
#include <QWidget>

// Логирование сигнала
class TForm7 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm7(QWidget *parent = nullptr);
};
