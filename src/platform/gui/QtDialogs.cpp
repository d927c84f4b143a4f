#include "platform/gui/QtDialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace kavri::platform {

DialogAnswer QtDialogs::show(DialogIcon icon, const QString &text, DialogButtons buttons)
{
    return showTitled(icon, text, buttons, appTitle());
}

DialogAnswer QtDialogs::showTitled(DialogIcon icon, const QString &text, DialogButtons buttons,
                                   const QString &title)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return buttons == DialogButtons::YesNo ? DialogAnswer::No : DialogAnswer::Ok;
    QMessageBox box;
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case DialogIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case DialogIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case DialogIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case DialogIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    // Qt's own button texts are English unless a translation is installed.
    if (buttons == DialogButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(u"예"_s);
        box.button(QMessageBox::No)->setText(u"아니요"_s);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? DialogAnswer::Yes : DialogAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(u"확인"_s);
    box.exec();
    return DialogAnswer::Ok;
}

} // namespace kavri::platform
