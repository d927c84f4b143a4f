#pragma once

#include <QString>

#include <array>

namespace kavri {

/// Character size codes of the ticket's size options.
enum 글자크기 : int { 보통 = 0, 세로확대 = 1, 가로세로확대 = 2 };

/// What the shop chose for printing: three printer slots, the ticket layout
/// and the tables whose requests are printed. Field names are the keys of
/// section "프린터" of Zarazo.cfg.
struct PrinterSettings
{
    static constexpr int SlotCount = 3;

    std::array<QString, SlotCount> 이름;      ///< empty: slot not in use
    std::array<qint32, SlotCount> 포트{};     ///< 0: none, N: serial port COMN
    std::array<qint32, SlotCount> 통신속도{}; ///< bits per second

    qint32 주문서_출력수 = 0;
    bool 주문서_꼬리말_출력 = false;
    qint32 주문서_꼬리말_글자크기 = 0;
    QString 주문서_꼬리말; ///< lines separated by CR LF
    qint32 주문서_주문내역_글자크기 = 0;
    bool 주문서_메뉴가격표시 = false;
    bool 주문서_중간커팅금지 = false;
    qint32 주문서_주문번호_글자크기 = 0;
    bool 주문서_낱장출력 = false;
    QString 선택된테이블;
};

/// The process-wide record; filled after login and after every save.
extern PrinterSettings gPrinterSettings;

/// The settings file section of the printer keys.
inline const QString kPrinterSection = QStringLiteral("프린터");

/// The speeds the settings offer, by stored position.
inline constexpr std::array<qint32, 5> kLineSpeeds{9600, 19200, 38400, 57600, 115200};
/// Stored position to speed; an unknown position is 9600.
qint32 speedFromPosition(qint64 position);

/// Stored form of the footer: "!@#$%" + text with every CR LF as "!CrLf!".
QString encodeFooter(const QString &footer);
/// "!CrLf!" back to CR LF, then the "!@#$%" prefix removed when present.
QString decodeFooter(const QString &stored);

/// True when `table` is selected: the selection is exactly "전체" or holds
/// "-[" + table + "]-" (case-sensitive).
bool IsTableSelected(const QString &selection, const QString &table);

/// Fills every field but the table selection from CfgMain. A value that is not
/// of its field's type ends the load at that key (earlier fields keep their new
/// values) with an error report and false.
bool Load_프린터설정();

/// Fills the table selection from CfgMain ("전체" when missing).
bool Load_선택된테이블설정();

} // namespace kavri
