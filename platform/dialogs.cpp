#include "platform/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace platform {
namespace {

class QtDialogs : public Dialogs
{
public:
    void showMessage(const QString &text) override
    {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok,
                        QApplication::activeWindow());
        box.exec();
    }
    void showError(const QString &text) override
    {
        QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text,
                        QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }

protected:
    std::optional<QString> askSaveFile(QWidget *parent, const SaveRequest &request) override
    {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // Saving replaces an existing file without a question.
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        if (!request.filter.isEmpty())
            dialog.setNameFilter(request.filter);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().constFirst();
    }
};

QtDialogs &qtDialogs()
{
    static QtDialogs d;
    return d;
}

Dialogs *g_installed = nullptr;

} // namespace

std::optional<QString> Dialogs::saveFile(QWidget *parent, const SaveRequest &request)
{
    auto chosen = askSaveFile(parent, request);
    if (chosen && !request.defaultSuffix.isEmpty())
        chosen = withDefaultSuffix(*chosen, request.defaultSuffix);
    return chosen;
}

Dialogs &dialogs()
{
    return g_installed ? *g_installed : qtDialogs();
}

void setDialogs(Dialogs *d)
{
    g_installed = d;
}

QString withDefaultSuffix(const QString &name, const QString &suffix)
{
    const QString fileName = QFileInfo(name).fileName();
    if (fileName.isEmpty() || fileName.contains(QLatin1Char('.')))
        return name;
    return name + QLatin1Char('.') + suffix;
}

RecordingDialogs::RecordingDialogs()
{
    setDialogs(this);
}

RecordingDialogs::~RecordingDialogs()
{
    if (&dialogs() == this)
        setDialogs(nullptr);
}

std::optional<QString> RecordingDialogs::askSaveFile(QWidget *, const SaveRequest &request)
{
    requests << request;
    if (answers.isEmpty())
        return std::nullopt;
    return answers.takeFirst();
}

} // namespace platform
