#pragma once

#include "platform/Processes.h"

#include <QString>

namespace kavri {

/// The time limits of one download, in milliseconds.
struct DownloadLimits
{
    quint32 firstBytesMs = 15000;  ///< for wget to deliver its first 10 bytes
    quint32 wholeFileMs = 300000;  ///< for wget to deliver the whole file
    quint32 wgetExitMs = 10000;    ///< for wget to exit after the last byte
    quint32 httpAnswerMs = 300000; ///< for the built-in HTTP answer
    quint32 pollMs = 500;
    quint32 httpPollMs = 250;
    /// Passes of the loop that ends the downloader, 250 ms apart.
    int endPasses = 12;
};

/// Where the download shows its progress (the download window's controls).
class DownloadView
{
public:
    virtual ~DownloadView() = default;
    virtual void setTitle(const QString &text) = 0;
    virtual void setDetail(const QString &text) = 0;
    virtual void setCount(const QString &text) = 0;
    /// Sets the maximum, then the value; a value outside the range is ignored.
    virtual void setProgress(qint64 current, qint64 maximum) = 0;
};

/// "#,##0": thousands separated by ",", "0" for 0.
QString formatCount(qint64 n);

/// The size of a regular file in bytes; 0 when it is missing or on any failure.
qint64 GetFileSize(const QString &path);

/// The downloader: the application folder's wget when there is one, else the system's; empty when neither.
QString downloaderProgram();

/// One run of the patch download: fetches upgradeState().patchFile from "/cc/" of the patch
/// server into the application folder (wget first, the built-in HTTP GET when
/// wget delivers nothing), checks it, writes the markers and the history, and
/// hands over to the new program.
class PatchDownload
{
public:
    enum class Result {
        HandedOver,     ///< the new program was started and the process is ending
        Failed,         ///< the route failed; the user was told
        HandOverFailed, ///< the file is right but could not be started; this copy goes on
        Stopped,        ///< an unexpected failure, reported; nothing recorded
        Ended           ///< the close button ended the process during the download
    };

    explicit PatchDownload(DownloadView &view, DownloadLimits limits = {});

    Result TNV_program_patch();
    /// The close button was answered Yes: every wait stops, nothing more is recorded.
    void requestEnd() { m_endRequested = true; }

    /// The route that ran last: "W" (wget) or "X" (built-in HTTP).

    /// Ends the downloader this program started (also one left by an earlier run,
    /// remembered with its start time); never another program's process.
    void endDownloader();

private:
    enum class Outcome { InProgress, Complete, FallBack, GiveUp };
    bool startDownloader(const QString &localFile);
    Outcome pollDownloader(const QString &localFile);
    void waitForDownloaderExit();
    /// False after an unexpected failure (already reported).
    bool fetchBuiltIn(const QString &localFile, Outcome *outcome);
    void reportPercent(int percent);
    void rememberDownloader(const platform::ProcessStamp &stamp);
    Result fail();

    DownloadView &m_view;
    DownloadLimits m_limits;
    QString m_mode = QStringLiteral("W");
    platform::ProcessStamp m_downloader;
    bool m_endRequested = false;
};

} // namespace kavri
