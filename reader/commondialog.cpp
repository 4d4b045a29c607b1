#include "commondialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

FileDialogPresenter& Presenter()
{
    static FileDialogPresenter presenter;
    return presenter;
}

QString ShowRealDialog(const FileDialogCall& call)
{
    QFileDialog dialog(call.owner, call.title, call.startFolder);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The entries' names already list what they hold; showing the patterns
    // again would only repeat them.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(call.filters);
    if (call.filterIndex >= 0 && call.filterIndex < call.filters.size())
        dialog.selectNameFilter(call.filters[call.filterIndex]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

}  // namespace

void SetFileDialogPresenter(FileDialogPresenter presenter)
{
    Presenter() = std::move(presenter);
}

QStringList NameFiltersOf(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& p : patterns)
            p = p.trimmed();
        out << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return out;
}

bool CommonDialog::ShowOpen(QWidget* owner)
{
    FileDialogCall call;
    call.title = DialogTitle;
    call.filters = NameFiltersOf(Filter);
    call.filterIndex = FilterIndex - 1;
    call.startFolder = FileName.isEmpty() ? QString() : QFileInfo(FileName).absolutePath();
    call.owner = owner;
    const QString chosen = Presenter() ? Presenter()(call) : ShowRealDialog(call);
    if (chosen.isEmpty())
        return false;
    FileName = chosen;
    return true;
}
