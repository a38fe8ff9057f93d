#include "views/QtMessenger.h"

#include <QApplication>
#include <QMessageBox>

namespace velora::gui {

namespace {

QMessageBox::StandardButtons buttonsFor(MsgButtons b) {
    switch (b) {
    case MsgButtons::Ok:
        return QMessageBox::Ok;
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon iconFor(MsgIcon i) {
    switch (i) {
    case MsgIcon::None:
        return QMessageBox::NoIcon;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Warning:
        return QMessageBox::Warning; // the question functions ask with this icon too
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

MsgAnswer answerFor(int button) {
    switch (button) {
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Retry:
        return MsgAnswer::Retry;
    default:
        return MsgAnswer::Cancel;
    }
}

} // namespace

MsgAnswer QtMessenger::show(const Message& m) {
    shown_ = true;
    QWidget* owner = owner_ ? owner_.data() : QApplication::activeWindow();
    QMessageBox box(iconFor(m.icon), QString::fromStdString(m.caption), QString::fromStdString(m.text),
                    buttonsFor(m.buttons), owner);
    if (m.defaultCancel) {
        box.setDefaultButton(m.buttons == MsgButtons::YesNo ? QMessageBox::No : QMessageBox::Cancel);
    }
    box.setObjectName(m.textId >= 0 ? QStringLiteral("msg%1").arg(m.textId) : QStringLiteral("msg"));
    return answerFor(box.exec());
}

} // namespace velora::gui
