#include "module1.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

QString ApplicationTitle()
{
    return QStringLiteral("Varin Dictionary Zeradi 2010 v2.5");
}

QString DictionaryName()
{
    return QStringLiteral("فهرههنكَى  ڤارين");
}

namespace {

int ShowRealBox(const MsgBoxCall& call)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return 0;
    QMessageBox box(call.owner);
    box.setWindowTitle(call.title);
    box.setText(call.prompt);
    box.setTextFormat(Qt::PlainText);
    if (call.flags & kMbRtlReading)
        box.setLayoutDirection(Qt::RightToLeft);

    switch (call.flags & kMbIconMask) {
    case 0x10: box.setIcon(QMessageBox::Critical); break;
    case 0x20: box.setIcon(QMessageBox::Question); break;
    case 0x30: box.setIcon(QMessageBox::Warning); break;
    case 0x40: box.setIcon(QMessageBox::Information); break;
    case kMbUserIcon: {
        const QIcon icon(QStringLiteral(":/icons/") + call.iconName);
        if (!icon.isNull())
            box.setIconPixmap(icon.pixmap(32, 32));
        break;
    }
    default: break;
    }

    QPushButton* ok = box.addButton(QMessageBox::Ok);
    QPushButton* cancel = nullptr;
    if ((call.flags & 0xF) == kMbOkCancel)
        cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel ? cancel : ok);
    box.exec();
    return box.clickedButton() == cancel && cancel ? kIdCancel : kIdOk;
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
