#include "module1.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

QString ApplicationTitle()
{
    return QStringLiteral("Varin Dictionary Zeradi 2010 v2.5");
}

QString DictionaryName()
{
    return QStringLiteral("فه\u200Cرهه\u200Cنكَى  ڤارين");
}

namespace {

int ShowRealBox(const MsgBoxCall& call)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return 0;
    // On the heap and watched: an owner destroyed while the box is open (a
    // window that is deleted when it closes) takes the box with it, and the
    // box must then be neither used nor deleted a second time.
    QPointer<QMessageBox> box = new QMessageBox(call.owner);
    box->setWindowTitle(call.title);
    box->setText(call.prompt);
    box->setTextFormat(Qt::PlainText);
    if (call.flags & kMbRtlReading)
        box->setLayoutDirection(Qt::RightToLeft);

    switch (call.flags & kMbIconMask) {
    case 0x10: box->setIcon(QMessageBox::Critical); break;
    case 0x20: box->setIcon(QMessageBox::Question); break;
    case 0x30: box->setIcon(QMessageBox::Warning); break;
    case 0x40: box->setIcon(QMessageBox::Information); break;
    case kMbUserIcon: {
        const QIcon icon(QStringLiteral(":/icons/") + call.iconName);
        if (!icon.isNull())
            box->setIconPixmap(icon.pixmap(32, 32));
        break;
    }
    default: break;
    }

    QPushButton* ok = box->addButton(QMessageBox::Ok);
    QPushButton* cancel = nullptr;
    if ((call.flags & 0xF) == kMbOkCancel)
        cancel = box->addButton(QMessageBox::Cancel);
    box->setDefaultButton(ok);
    box->setEscapeButton(cancel ? cancel : ok);
    box->exec();
    if (!box)
        return cancel ? kIdCancel : kIdOk;
    const bool okPressed = box->clickedButton() == ok;
    delete box.data();
    // Only a press of OK goes ahead: a box that closed any other way (its
    // event loop ended, its owner went away) answers Cancel where it has one.
    return okPressed || !cancel ? kIdOk : kIdCancel;
}

MsgBoxPresenter& Presenter()
{
    static MsgBoxPresenter presenter;
    return presenter;
}

}  // namespace

void SetMsgBoxPresenter(MsgBoxPresenter presenter)
{
    Presenter() = std::move(presenter);
}

MsgBoxCall ResolveMsgBoxCall(const QString& prompt, qint32 flags, const QString& title,
                             const QString& iconName, qintptr owner)
{
    MsgBoxCall call;
    call.prompt = prompt;
    call.title = title.isEmpty() ? ApplicationTitle() : title;
    call.iconName = iconName;
    call.flags = iconName.isEmpty() ? flags : ((flags & ~kMbIconMask) | kMbUserIcon);
    if (owner == -1)
        call.owner = QApplication::activeWindow();
    else if (owner != 0)
        call.owner = QWidget::find(static_cast<WId>(owner));
    return call;
}

int UnicodeMsgBox(const QString& prompt, qint32 flags, const QString& title,
                  const QString& iconName, qintptr owner)
{
    const MsgBoxCall call = ResolveMsgBoxCall(prompt, flags, title, iconName, owner);
    return Presenter() ? Presenter()(call) : ShowRealBox(call);
}
