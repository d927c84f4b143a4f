#pragma once

#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// Builders the printer settings window's panels share. The layout is drawn in
// window coordinates; inPanel() moves a place into the panel that holds it.
namespace kavri::settingswindow {

/// `at`, given in window coordinates, inside a panel placed at `panel`.
QRect inPanel(const QRect &panel, const QRect &at);

QLabel *label(QWidget *parent, const QString &text, const QRect &at, const QString &name = {});

/// One of the window's blue buttons, named "CMD<index>" as the shop's procedures count them.
QPushButton *commandButton(QWidget *parent, int index, const QString &caption, const QRect &at,
                           int fontPixels);

} // namespace kavri::settingswindow
