#pragma once
// Message boxes and save dialogs behind one interface, so that tests can
// record messages and answer dialogs without a user.
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace platform {

struct SaveRequest
{
    QString defaultSuffix; // added to a name chosen without an extension, e.g. "txt"
    QString filter;        // file-type entries, e.g. "*.bmp"; empty for none
};

class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // A modal message box with the application's title (ShowMessage).
    virtual void showMessage(const QString &text) = 0;
    // The application's standard error box for an exception from a handler.
    virtual void showError(const QString &text) = 0;
    // A save dialog; the chosen path, or nothing when cancelled. The default
    // suffix is applied here, for real and recorded dialogs alike.
    std::optional<QString> saveFile(QWidget *parent, const SaveRequest &request);

protected:
    virtual std::optional<QString> askSaveFile(QWidget *parent, const SaveRequest &request) = 0;
};

// The dialogs in use: Qt's own unless a test installed others.
Dialogs &dialogs();
// Installs `d` (not owned); nullptr restores Qt's dialogs.
void setDialogs(Dialogs *d);

// `name` with ".suffix" appended when its file name has no extension.
QString withDefaultSuffix(const QString &name, const QString &suffix);

// A recording stand-in for tests: keeps every message and error, answers save
// dialogs from a queue (an empty queue cancels).
class RecordingDialogs : public Dialogs
{
public:
    RecordingDialogs();
    ~RecordingDialogs() override;

    void showMessage(const QString &text) override { messages << text; }
    void showError(const QString &text) override { errors << text; }

    QStringList messages;
    QStringList errors;
    QList<std::optional<QString>> answers;
    QList<SaveRequest> requests;

protected:
    std::optional<QString> askSaveFile(QWidget *parent, const SaveRequest &request) override;
};

} // namespace platform
