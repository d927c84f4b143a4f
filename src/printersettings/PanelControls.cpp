#include "printersettings/PanelControls.h"

#include "platform/gui/Theme.h"

#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace kavri::settingswindow {

QRect inPanel(const QRect &panel, const QRect &at)
{
    return at.translated(-panel.topLeft());
}

QLabel *label(QWidget *parent, const QString &text, const QRect &at, const QString &name)
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(at);
    if (!name.isEmpty())
        l->setObjectName(name);
    return l;
}

QPushButton *commandButton(QWidget *parent, int index, const QString &caption, const QRect &at,
                           int fontPixels)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(u"CMD"_s + QString::number(index));
    b->setGeometry(at);
    b->setFont(theme::nanum(fontPixels, true));
    b->setStyleSheet(theme::SettingsButtonStyle);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace kavri::settingswindow
