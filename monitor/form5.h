#pragma once
// The level window: the signal level and quality as two huge coloured numbers,
// kept above all other windows while the meter runs.
#include <QWidget>

class QFrame;
namespace monitor {
class GraphicLabel;
}

// Уровни сигнала
class TForm5 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm5(QWidget *parent = nullptr);

    QWidget *Shape1;
    monitor::GraphicLabel *LMDGraphicLabel1; // level number
    monitor::GraphicLabel *LMDGraphicLabel2; // quality number
    monitor::GraphicLabel *LMDGraphicLabel3; // "СИГНАЛ (L)"
    monitor::GraphicLabel *LMDGraphicLabel4; // "КАЧЕСТВО (Q)"
    QFrame *Panel3;

    void FormClose();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool m_placed = false;
};
