#pragma once
#include <QWidget>

// Слепой поиск (только для DVB-S QPSK)
class TForm3 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);
};
