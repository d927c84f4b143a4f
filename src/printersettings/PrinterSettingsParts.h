#pragma once

#include "printersettings/TableGridModel.h"

#include <QRect>
#include <QString>

// What the printer settings window's source files share.
namespace kavri::settingswindow {

inline const QString WindowName = QStringLiteral("frmQ설정");

// Grid columns of the model; the shop's view numbers them from 1 behind the row header.
constexpr int ColNumber = TableGridModel::ColNumber;
constexpr int ColTicked = TableGridModel::ColTicked;
constexpr int ColGroup = TableGridModel::ColGroup;
constexpr int ColName = TableGridModel::ColName;
constexpr int ColSortKey = TableGridModel::ColSortKey;
constexpr int ColumnCount = TableGridModel::ColumnCount;
constexpr int RowHeight = 28;
constexpr int RowsPerPage = 15;
constexpr int MaxNameChars = 40;
constexpr int MaxFooterChars = 2000;
constexpr int TestPrintGapMs = 1500;
// Printer slots: the first slot's top and the distance between slots.
constexpr int SlotTop = 122;
constexpr int SlotPitch = 74;

// Panels of the three steps, painted behind their controls.
constexpr QRect PrinterPanel(24, 90, 560, 258);
constexpr QRect TicketPanel(24, 386, 560, 358);
constexpr QRect TablePanel(608, 90, 392, 654);

} // namespace kavri::settingswindow
