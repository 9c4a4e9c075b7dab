#pragma once
// The main window: satellite and transponder choice, tuning fields and the
// buttons that start every activity.
#include <QWidget>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace monitor {
class SoundClip;
class PageServer;
} // namespace monitor
namespace receiver {
struct TuningFields;
}

class TForm1 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // Controls, named as in the control table.
    QFrame *Panel1, *Panel2, *Panel3;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;
    QComboBox *ComboBox1, *ComboBox2, *ComboBox3, *ComboBox4, *ComboBox5, *ComboBox6;
    QCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4, *CheckBox5;
    QLineEdit *Edit1, *Edit2, *Edit3;
    QPushButton *SpeedButton1, *SpeedButton2, *SpeedButton3, *SpeedButton4, *SpeedButton5,
        *SpeedButton6, *SpeedButton7;

    // Components without a place on screen.
    QTimer *LMDHiTimer1; // meter, 800 ms
    QTimer *LMDHiTimer2; // signal log, 10000 ms
    monitor::SoundClip *LMDWaveComp1 = nullptr;
    monitor::SoundClip *LMDWaveComp2 = nullptr;
    monitor::PageServer *IdHTTPServer1 = nullptr;

    // Start-up and shut-down.
    void FormCreate();
    void FormClose();

    // Handlers, each run inside the error guard by its connection.
    void ComboBox3Change();
    void ComboBox4Change();
    void ComboBox5Change();
    void SpeedButton1Click(); // lock
    void SpeedButton2Click(); // stop
    void SpeedButton3Click(); // scan
    void SpeedButton4Click(); // blind search window
    void SpeedButton6Click(); // signal log
    void SpeedButton7Click(); // DVB-S2 FEC search
    void LMDHiTimer1Timer();
    void LMDHiTimer2Timer();

    // The tuning fields as the tuning sequence reads them.
    receiver::TuningFields tuningFields() const;
    // Both the frequency and the symbol rate hold text: a lock, a log start
    // or a FEC search does nothing otherwise.
    bool hasFrequencyAndSymbolRate() const;
    // What a lock, a log start and a FEC search do once their window is shown:
    // MeterState 1, lock and scan buttons off, the tuning parameters read from
    // the fields (raises ConvertError at the first one that is no number).
    void beginTuningActivity();

    // Network page hooks: start and stop of the page server (when CheckBox5 is
    // ticked at that moment) and the page rewrite of a meter tick.
    void startPageServer();
    void stopPageServer();
    void writePage(int quality, int level);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void connectHandlers();
    void createMeterParts();   // sound clips
    void createNetworkParts(); // page server
    void destroyNetworkParts();
};

// Creates the seven windows in the order TForm1 ... TForm7; the main window's
// start-up runs while it is created. destroyForms deletes them again.
void createForms();
void destroyForms();
