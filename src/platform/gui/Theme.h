#pragma once

#include <QColor>
#include <QFont>
#include <QString>

/// The look of the windows in one place: the palette, the settings window's
/// font and the style sheets. The board's own fonts are in board/BoardFonts.h.
namespace kavri::theme {

using namespace Qt::StringLiterals;

// The main window and its board.
inline const QColor WindowBack(0x16, 0x20, 0x2b);
inline const QColor GridLines(0x4a, 0x5a, 0x6b);
inline const QColor HeadingBack(0x2b, 0x3d, 0x52);
inline const QColor NoBack(249, 249, 249);
inline const QColor CheckInk(218, 33, 36);
inline const QColor ConfirmBlue(0, 141, 238);
inline const QColor TableBackTop(0x0f, 0x5c, 0xa8);
inline const QColor TableBackBottom(0x0a, 0x3f, 0x78);
inline const QColor BannerBack(Qt::white);
inline const QColor BannerInk(0x10, 0x20, 0x2f);
inline const QColor BannerBorder(0xc8, 0xd6, 0xe4);
inline const QColor HighlightBack(0xff, 0xd4, 0x3b);
inline const QColor HighlightBorder(0xe0, 0x31, 0x31);
inline const QColor HighlightInk(0x8a, 0x10, 0x10);
inline const QColor PayBack(0xff, 0xb0, 0x20);
inline const QColor PayInk(0x3a, 0x22, 0x00);
// A request's wait on its row number: amber, then red; a marked row's tint.
inline const QColor WaitAmberBack(0xff, 0xb3, 0x1a);
inline const QColor WaitAmberInk(0x2a, 0x18, 0x00);
inline const QColor WaitRedBack(0xd3, 0x1f, 0x1f);
inline const QColor WaitRedInk(Qt::white);
inline const QColor MarkedRowBack(0xbf, 0xe0, 0xff);
// The count of open requests, and the icon's count in icon mode.
inline const QColor OpenCountBack(0xff, 0xd4, 0x3b);
inline const QColor OpenCountInk(0x10, 0x20, 0x2f);
inline const QColor IconBadgeBack(0xd3, 0x1f, 0x1f);

// The printer settings window.
inline const QColor Page(0xf4, 0xf7, 0xfa);
inline const QColor Band(0x1f, 0x6f, 0x8b);
inline const QColor PanelBorder(0xd3, 0xdd, 0xe7);
inline const QColor ButtonBlue(0, 141, 238);
inline const QColor CellFill(232, 246, 255);
inline const QColor CurrentFill(0xbf, 0xe2, 0xfb);
inline const QColor PanelBack(Qt::white);
inline const QColor CellInk(Qt::black);
inline const QColor PageArrow(Qt::white);
inline const QString SettingsTitleStyle = u"QLabel { color: white; background: transparent; }"_s;
inline const QString SettingsCloseStyle =
    u"QLabel { color: white; border: 1px solid white; border-radius: 6px; background: transparent; }"_s;
inline const QString SettingsHeadingStyle = u"QLabel { color: #1b2a3a; background: transparent; }"_s;
inline const QString SettingsCaptionStyle = u"QLabel { color: rgb(0, 141, 238); background: transparent; }"_s;
inline const QString SettingsHintStyle = u"QLabel { color: #5a6b7c; background: transparent; }"_s;
// The lists keep the style's own look, drop-down arrow included.
inline const QString SettingsFieldStyle =
    u"QLineEdit, QPlainTextEdit { border: 1px solid #9fb3c8; border-radius: 4px;"
    " background: white; color: #1b2a3a; padding: 0 6px; }"_s;
inline const QString SettingsGridStyle =
    u"QTableView { gridline-color: #b9cfe0; background: white; }"
    " QHeaderView::section { background: #e3ebf2; color: #1b2a3a; border: none;"
    " border-right: 1px solid #b9cfe0; border-bottom: 1px solid #b9cfe0; }"_s;
inline const QString SettingsButtonStyle =
    u"QPushButton { background: rgb(0, 141, 238); color: white;"
    " border: 1px solid rgb(0, 141, 238); border-radius: 5px; }"
    " QPushButton:pressed { background: white; color: rgb(0, 141, 238); }"
    " QPushButton:disabled { background: #9ccbee; border-color: #9ccbee;"
    " color: #eef6fd; }"_s;
// The device line under a port list: green when the port can be used, red when not.
inline const QString DeviceUsableStyle = u"QLabel { color: #2f7d32; background: transparent; }"_s;
inline const QString DeviceUnusableStyle = u"QLabel { color: #c0392b; background: transparent; }"_s;

/// The settings window's font, NanumGothic at a pixel size.
inline QFont nanum(int pixels, bool bold = false)
{
    QFont f(u"NanumGothic"_s);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// Message boxes are answered by touch at the counter: the board's font at a
// readable size, and buttons a finger finds.
inline const QString TouchBoxStyle = u"QPushButton { min-height: 40px; min-width: 96px; padding: 0 12px; }"_s;
inline QFont touchBoxFont()
{
    QFont f = nanum(18);
    f.setFamilies({u"NanumGothic"_s, u"Noto Color Emoji"_s});
    return f;
}

// The main window's option bar.
inline const QString OptionBarStyle =
    u"QFrame#picFrame { background: #223140; border-radius: 8px; }"
    " QComboBox, QLineEdit { background: white; color: #10202f; border: 1px solid #8094a8;"
    " border-radius: 4px; padding: 0 4px; }"_s;
inline const QString OptionCaptionStyle = u"QLabel { color: #d6e0ea; background: transparent; }"_s;
inline const QString OptionButtonStyle = u"QLabel { color: white; background: #3a5068; border-radius: 5px; }"
                                         " QLabel:hover { background: #4d6a88; }"_s;
inline const QString OptionStopButtonStyle =
    u"QLabel { color: white; background: #b83232; border-radius: 5px; }"
    " QLabel:hover { background: #d04040; }"_s;
inline const QString OptionValueStyle =
    u"QLabel { color: #10202f; background: white; border-radius: 4px; }"_s;
inline const QString StoreNameStyle =
    u"QLabel { color: white; background: transparent; padding-left: 10px; }"_s;
inline const QString VersionStyle =
    u"QLabel { color: #8094a8; background: transparent; padding-left: 12px; }"_s;
// The health line under the store name: the version's grey while all is well, red with a fault.
inline const QString HealthOkStyle = VersionStyle;
inline const QString HealthFaultStyle =
    u"QLabel { color: #ff5a5a; background: transparent; padding-left: 12px; }"_s;

// The row menu, touched more often than clicked: tall items.
inline const QString TouchMenuStyle = u"QMenu::item { min-height: 36px; padding: 4px 28px 4px 20px; }"_s;

// The wait panel: on the board, and on the login and settings windows.
inline const QString BoardWaitStyle =
    u"QLabel#picWait { background: white; border: 2px solid #0f5ca8; border-radius: 12px; }"_s;
inline const QString DialogWaitStyle =
    u"QLabel#picWait { background: white; border: 1px solid #9fb3c8; border-radius: 10px; }"_s;

// The login window.
inline const QString LoginFieldStyle =
    u"QLineEdit { border: 1px solid #9fb3c8; border-radius: 6px; padding: 0 10px;"
    " background: white; color: #1b2a3a; }"
    " QLineEdit:disabled { background: #e8edf2; color: #6b7b8c; }"_s;
inline const QString LoginButtonStyle = u"QLabel { background: #1f6f8b; color: white; border-radius: 8px; }"
                                        " QLabel:disabled { background: #8fb3c0; color: #eef4f6; }"_s;
inline const QString LoginAppNameStyle = u"QLabel { color: #7a8a99; background: transparent; }"_s;

} // namespace kavri::theme
