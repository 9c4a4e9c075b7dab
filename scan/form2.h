#pragma once
#include <QWidget>

// Сканирование транспондеров
class TForm2 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);
};
