#include "board/HeaderView.h"

#include "board/BoardDesign.h"
#include "board/BoardFonts.h"
#include "board/HealthLine.h"
#include "platform/gui/Theme.h"

#include <QLabel>

using namespace Qt::StringLiterals;

namespace kavri::monitor {

using namespace design;

HeaderView::HeaderView(QWidget &window) : QObject(&window)
{
    m_storeName = new QLabel(&window);
    m_storeName->setObjectName(u"상호"_s);
    m_storeName->setGeometry(StoreNameRect);
    m_storeName->setFont(boardDisplayFont(20));
    m_storeName->setStyleSheet(theme::StoreNameStyle);

    m_version = new QLabel(&window);
    m_version->setObjectName(u"lbl버전"_s);
    m_version->setGeometry(VersionRect);
    m_version->setFont(uiFont(11));
    m_version->setStyleSheet(theme::VersionStyle);

    m_health = new HealthLine(&window);
    m_health->setGeometry(HealthRect);
    connect(m_health, &HealthLine::clicked, this, &HeaderView::healthClicked);
    connect(m_health, &HealthLine::linesChanged, this, &HeaderView::placeLines);
}

void HeaderView::layOut(int width)
{
    m_width = width;
    m_storeName->resize(width, m_storeName->height());
    m_version->resize(width, m_version->height());
    // The health line is as wide as the store name above it; redrawn to its new width.
    m_health->setLineWidth(width);
}

void HeaderView::showStoreName(const QString &name)
{
    m_storeName->setFont(boardDisplayFont(20));
    const int room = m_storeName->width() - 14;
    // Shrunk to fit before it is cut: a long name stays whole where it can.
    for (int points = 20; points > 13 && m_storeName->fontMetrics().horizontalAdvance(name) > room; --points)
        m_storeName->setFont(boardDisplayFont(points - 1));
    m_storeName->setText(m_storeName->fontMetrics().elidedText(name, Qt::ElideRight, room));
    m_storeName->setToolTip(name);
}

void HeaderView::showVersion(const QString &version, bool narrowScreen)
{
    m_version->setText(narrowScreen ? u"화면이 좁아 1024 배치로 표시 중"_s : version);
    m_version->setToolTip(version);
}

void HeaderView::showHealth(const QList<HealthItem> &items, const QString &text, bool faulty)
{
    m_health->showItems(items, text, faulty);
}

void HeaderView::setIconMode(bool iconMode)
{
    m_iconMode = iconMode;
    m_health->setVisible(!iconMode);
    placeLines(m_health->shownLines());
}

void HeaderView::placeLines(int lines)
{
    // A second line of faults takes the version's place, a third the store name's.
    const int top = lines > 2 ? StoreNameRect.top() : HealthRect.top();
    m_health->setGeometry(HealthRect.left(), top, m_width, lines * HealthRect.height());
    m_version->setVisible(lines <= 1 && !m_iconMode);
    m_storeName->setVisible(lines <= 2 && !m_iconMode);
    emit linesPlaced();
}

} // namespace kavri::monitor
