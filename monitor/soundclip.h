#pragma once
// One wave clip embedded in the program, played asynchronously. Starting a
// clip stops the one still playing. Without an audio output nothing is played
// and nothing is reported: silence, never an error or a delay.
#include <QObject>
#include <QStringList>
#include <QUrl>

class QSoundEffect;

namespace monitor {

class SoundClip : public QObject
{
    Q_OBJECT
public:
    SoundClip(QObject *parent, const char *name, const QUrl &source);
    ~SoundClip() override;

    void play();
    void stop();

    // Names of the clips started so far, in order, whether or not a device
    // made them audible; the clip started last is the one that sounds.
    static QStringList startedClips();
    static void clearStartedClips();

private:
    QUrl m_source;
    QSoundEffect *m_effect = nullptr; // made at the first play with a device
};

} // namespace monitor
