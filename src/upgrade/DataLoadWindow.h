#pragma once

#include "upgrade/PatchDownload.h"

#include <QDialog>
#include <QPixmap>

#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kavri {

/// The download window: 370 by 136, the phase, the progress text and bar, and
/// the close button. The download itself is PatchDownload.
class frmDataLoad : public QDialog, private DownloadView
{
    Q_OBJECT
public:
    explicit frmDataLoad(QWidget *parent = nullptr, DownloadLimits limits = {});
    ~frmDataLoad() override;

    /// True: the next activation is the first one and starts the download.
    bool m_FirstActivated = false;
    /// 0: the close button asks before it ends the program.
    int m_DataLoadUpdateType = 0;

    /// How the run ended; meaningful once the window has closed.
    PatchDownload::Result result() const { return m_result; }
    bool ran() const { return m_ran; }

public slots:
    void cmdEnd_Click();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void Form_Load();
    void Form_Activate();

    void setTitle(const QString &text) override;
    void setDetail(const QString &text) override;
    void setCount(const QString &text) override;
    void setProgress(qint64 current, qint64 maximum) override;

    PatchDownload m_download;
    PatchDownload::Result m_result = PatchDownload::Result::Stopped;
    bool m_ran = false;
    bool m_running = false;
    QPixmap m_background;
    QLabel *m_pMsgTitle = nullptr;
    QLabel *m_pMsgDetail = nullptr;
    QLabel *m_pMsgCount = nullptr;
    QProgressBar *m_pBar = nullptr;
    QPushButton *m_cmdEnd = nullptr;
};

} // namespace kavri
