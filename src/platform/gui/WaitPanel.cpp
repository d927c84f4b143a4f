#include "platform/gui/WaitPanel.h"

#include <QMovie>

using namespace Qt::StringLiterals;

namespace kavri::platform {

WaitPanel::WaitPanel(QWidget *parent, const QString &text, const QString &frameStyle) : QLabel(parent)
{
    setObjectName(u"picWait"_s);
    setStyleSheet(frameStyle);
    m_picture = new QLabel(this);
    m_picture->setObjectName(u"imgWait"_s);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setText(text);
    m_picture->setWordWrap(true);
    hide();
}

void WaitPanel::fit(const QSize &inner, int padding)
{
    resize(inner + QSize(2 * padding, 2 * padding));
    m_picture->setGeometry(padding, padding, inner.width(), inner.height());
}

void WaitPanel::setFallbackSize(const QSize &fallback, int padding)
{
    if (m_movie && m_movie->isValid())
        return;
    fit(fallback - QSize(2 * padding, 2 * padding), padding);
}

void WaitPanel::setPicture(const QString &path, int padding, const QSize &minimum)
{
    if (m_movie)
        return;
    m_movie = new QMovie(path, {}, this);
    if (!m_movie->isValid())
        return;
    m_picture->setMovie(m_movie);
    m_movie->jumpToFrame(0);
    QSize shown = m_movie->currentImage().size();
    if (m_bound.isValid() && (shown.width() > m_bound.width() || shown.height() > m_bound.height())) {
        shown = shown.scaled(m_bound, Qt::KeepAspectRatio);
        m_movie->setScaledSize(shown);
    }
    fit(shown.expandedTo(minimum), padding);
}

void WaitPanel::setPictureBound(const QSize &size)
{
    m_bound = size;
}

void WaitPanel::centreIn(const QSize &size)
{
    move((size.width() - width()) / 2, (size.height() - height()) / 2);
}

void WaitPanel::showWait()
{
    raise();
    show();
    if (m_movie && m_movie->isValid())
        m_movie->start();
}

void WaitPanel::hideWait()
{
    if (m_movie)
        m_movie->stop();
    hide();
}

} // namespace kavri::platform
