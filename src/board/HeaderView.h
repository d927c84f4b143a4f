#pragma once

#include "monitor/BoardHealth.h"

#include <QObject>

class QLabel;
class QWidget;

namespace kavri::monitor {

class HealthLine;
constexpr int StoreNameWidth = 220;

/// The header beside the logo: the store name ("상호"), the health line
/// ("lblHealth") and the version line ("lbl버전"). Faults take more lines when
/// they need them: a second in the version's place, a third in the store name's.
class HeaderView : public QObject
{
    Q_OBJECT
public:
    explicit HeaderView(QWidget &window);

    /// The width the layout gives the store name, and the lines under it.
    void layOut(int width);
    /// The store name, shrunk to fit before it ends in "…".
    void showStoreName(const QString &name);
    /// The version, or the note that a narrow screen shows the 1024 layout.
    void showVersion(const QString &version, bool narrowScreen);
    void showHealth(const QList<HealthItem> &items, const QString &text, bool faulty);
    HealthLine &health() const { return *m_health; }
    QLabel *storeName() const { return m_storeName; }
    QLabel *version() const { return m_version; }
    /// Icon mode hides the header; normal mode shows it as its lines need.
    void setIconMode(bool iconMode);

signals:
    void healthClicked();
    /// The lines were placed again, at their design places.
    void linesPlaced();

private:
    void placeLines(int lines);

    QLabel *m_storeName = nullptr;
    QLabel *m_version = nullptr;
    HealthLine *m_health = nullptr;
    bool m_iconMode = false;
    int m_width = StoreNameWidth;
};

} // namespace kavri::monitor
