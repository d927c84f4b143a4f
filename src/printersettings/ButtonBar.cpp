#include "printersettings/ButtonBar.h"

#include "printersettings/PanelControls.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace kavri {

using namespace settingswindow;

namespace {

// The bar's place in the window, and its buttons' places in the same coordinates.
constexpr QRect BarAt(736, 690, 252, 44);

} // namespace

ButtonBar::ButtonBar(QWidget *parent) : QWidget(parent)
{
    setGeometry(BarAt);
    m_save = commandButton(this, 0, u"저 장"_s, inPanel(BarAt, {736, 690, 120, 44}), 16);
    m_testPrint = commandButton(this, 1, u"출력 테스트"_s, inPanel(BarAt, {868, 690, 120, 44}), 16);
}

} // namespace kavri
