#pragma once

#include <QFrame>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;

namespace kavri::platform {
class ClickLabel;
}

namespace kavri::monitor {

/// The option bar of the main window ("picFrame"): on its first line the
/// display options (`cob크기`, `cob표시`), the expiry minutes (`삭제` with its
/// two `삭제변경` arrows) and the position (`PosX`, `PosY`, `Pos적용`); on its
/// second the commands, the statistics and the alert repeat. It only holds the controls; the window wires
/// them.
class OptionBar : public QFrame
{
public:
    explicit OptionBar(QWidget *parent);

    /// Selects the entry of `seconds` in `cobRepeat`. A value the box does not
    /// offer (a hand-written "AlertRepeat") gets an entry of its own in its place
    /// among the others, labelled as they are.
    void showRepeat(int seconds);
    /// The seconds of `cobRepeat`'s entry `index`; -1 when there is none.
    int repeatSeconds(int index) const;

    QComboBox *cob크기 = nullptr;
    QComboBox *cob표시 = nullptr;
    QLabel *삭제 = nullptr;
    std::array<platform::ClickLabel *, 2> 삭제변경{};
    QLineEdit *posX = nullptr;
    QLineEdit *posY = nullptr;
    platform::ClickLabel *pos적용 = nullptr;
    platform::ClickLabel *lblSound = nullptr;
    platform::ClickLabel *lblConfig = nullptr;
    platform::ClickLabel *lblMinimize = nullptr;
    platform::ClickLabel *lblStats = nullptr;
    /// The alert repeat: 끔, 30초, 60초, 120초 (AlertRepeat::Choices), each holding its seconds.
    QComboBox *cobRepeat = nullptr;
    platform::ClickLabel *lblLogout = nullptr;
    platform::ClickLabel *lblTerminate = nullptr;
};

} // namespace kavri::monitor
