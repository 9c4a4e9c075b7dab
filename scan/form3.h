#pragma once
// The blind search window: frequency range, symbol-rate mode and polarization
// choice, the points found and the buttons that start, stop and save.
#include <QElapsedTimer>
#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// Слепой поиск (только для DVB-S QPSK)
class TForm3 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);

    // Controls, named as in the control table.
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9,
        *Label10, *Label11, *Label12;
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6;
    QComboBox *ComboBox1, *ComboBox2;
    QFrame *Panel1, *Panel2, *Panel3;
    QRadioButton *RadioButton1, *RadioButton2, *RadioButton3;
    QRadioButton *LMDTextRadioButton1, *LMDTextRadioButton2, *LMDTextRadioButton3;
    QButtonGroup *SymbolRateGroup, *PolarizationGroup;
    QListWidget *ListBox1;
    QPushButton *SpeedButton1, *SpeedButton2, *SpeedButton3;

    // Handlers, each run inside the error guard by its connection.
    void SpeedButton1Click(); // the search
    void SpeedButton2Click(); // stop request
    void SpeedButton3Click(); // save the found lines
    void FormClose();

    // Puts the points measured so far on screen now; the search itself shows
    // them at most about 30 times a second.
    void flushDisplay();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void connectHandlers();

    // Steps of the search (scan/blindsearch_run.cpp).
    bool stopRequested() const;
    void letMessagesRun();
    int shownStep(const QComboBox *box) const;
    void notePoint(int frequencyMHz, int symbolRateKs, int polarization, int reading);
    bool searchFrequencies(int polarization, int &frequencyMHz);
    void endSteps();

    // The point shown last and the found lines not yet in the list.
    struct Shown
    {
        int frequencyMHz = 0;
        int symbolRateKs = 0;
        int polarization = 0;
        bool pending = false;
    } m_current;
    QStringList m_pendingLines;
    QList<int> m_stepValues; // the numbers of the step lists' entries
    QElapsedTimer m_sinceFlush;
};
