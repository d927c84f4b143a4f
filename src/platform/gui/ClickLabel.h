#pragma once

#include <QLabel>

namespace kavri::platform {

/// A label used as a button: a left click released inside it while it is
/// enabled emits `clicked`; a left double click emits `doubleClicked`.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickLabel(const QString &text = {}, QWidget *parent = nullptr);

signals:
    void clicked();
    void doubleClicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

} // namespace kavri::platform
