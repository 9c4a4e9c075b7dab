#include "monitor/soundclip.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>

namespace monitor {
namespace {
QStringList g_started;
SoundClip *g_playing = nullptr;
} // namespace

SoundClip::SoundClip(QObject *parent, const char *name, const QUrl &source)
    : QObject(parent), m_source(source)
{
    setObjectName(QLatin1String(name));
}

SoundClip::~SoundClip()
{
    if (g_playing == this)
        g_playing = nullptr;
}

void SoundClip::play()
{
    g_started << objectName();
    if (g_playing && g_playing != this)
        g_playing->stop();
    g_playing = this;

    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    if (!m_effect) {
        m_effect = new QSoundEffect(this);
        m_effect->setSource(m_source);
    }
    // Restart from the beginning when the clip is still sounding.
    m_effect->stop();
    m_effect->play();
}

void SoundClip::stop()
{
    if (m_effect)
        m_effect->stop();
}

QStringList SoundClip::startedClips()
{
    return g_started;
}

void SoundClip::clearStartedClips()
{
    g_started.clear();
}

} // namespace monitor
