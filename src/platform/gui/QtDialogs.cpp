#include "platform/gui/QtDialogs.h"

#include "platform/gui/Theme.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace kavri::platform {
namespace {

/// The box as both ways of showing it draw it.
void setUpBox(QMessageBox &box, DialogIcon icon, const QString &text, DialogButtons buttons,
              const QString &title)
{
    box.setWindowTitle(title);
    box.setText(text);
    box.setFont(theme::touchBoxFont());
    box.setStyleSheet(theme::TouchBoxStyle);
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
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.button(QMessageBox::Ok)->setText(u"확인"_s);
    }
}

DialogAnswer answerOf(int result, DialogButtons buttons)
{
    if (buttons == DialogButtons::Ok)
        return DialogAnswer::Ok;
    return result == QMessageBox::Yes ? DialogAnswer::Yes : DialogAnswer::No;
}

} // namespace

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
    setUpBox(box, icon, text, buttons, title);
    return answerOf(box.exec(), buttons);
}

void QtDialogs::open(DialogIcon icon, const QString &text, DialogButtons buttons,
                     std::function<void(DialogAnswer)> answered)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        if (answered)
            answered(buttons == DialogButtons::YesNo ? DialogAnswer::No : DialogAnswer::Ok);
        return;
    }
    auto *box = new QMessageBox;
    box->setObjectName(u"kavriBox"_s);
    setUpBox(*box, icon, text, buttons, appTitle());
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Modal for the person at the counter, but without a loop of its own.
    box->setWindowModality(Qt::ApplicationModal);
    QObject::connect(box, &QDialog::finished, box, [answered = std::move(answered), buttons](int result) {
        if (answered)
            answered(answerOf(result, buttons));
    });
    box->show();
}

} // namespace kavri::platform
