#pragma once
#include <QWidget>

// Поиск DVB-S2 fec
class TForm6 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm6(QWidget *parent = nullptr);
};
