// The reader's open-file dialog. It keeps its title, filter and the file
// chosen last, the way the window sets and reads them. Tests answer it
// through a presenter, as they answer the message box.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// One showing of the dialog as the user would see it.
struct FileDialogCall {
    QString title;
    QStringList filters;   // Qt name filters, one an entry, "Name (patterns)"
    int filterIndex = 0;   // the entry selected when it opens
    QString startFolder;
    QWidget* owner = nullptr;
};

// Returns the file chosen, or an empty text when the user cancelled.
using FileDialogPresenter = std::function<QString(const FileDialogCall&)>;
void SetFileDialogPresenter(FileDialogPresenter presenter);   // empty: the real dialog

// "Name|patterns|Name|patterns": the dialog's filter as one text, its
// patterns separated by ';'. Each pair becomes a Qt name filter.
QStringList NameFiltersOf(const QString& filter);

class CommonDialog {
public:
    QString DialogTitle;
    QString Filter;
    int FilterIndex = 1;   // counted from 1
    QString FileName;      // the file chosen; a cancel leaves it as it was

    // Shows the open dialog; true when a file was chosen.
    bool ShowOpen(QWidget* owner);
};
