#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <array>

class QMessageBox;

// The download progress window driven by the download engine: logo, an animated "now
// Downloading" / "now Installing" line, a bar counting files, a bar for the bytes of the current
// file and a Cancel button guarded by a confirmation.
class ClProgressDialog : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(ClProgressDialog)

public:
    explicit ClProgressDialog(QWidget* pclParent = nullptr);
    ~ClProgressDialog() override;

    // Back to the downloading view: dots and captions hidden, byte bar shown, both bars at 0.
    void resetView();

    QProgressBar* fileBar() { return &clFileBar; }
    QProgressBar* byteBar() { return &clByteBar; }
    QLabel* statusLabel() { return &clStatusLabel; }
    // The cancel confirmation while it is open, otherwise null.
    QMessageBox* confirmBox() const { return pclConfirmBox; }

signals:
    // The user confirmed that the update is to be cancelled.
    void sigCancel();

public slots:
    void slotTotalFiles(qint32 lFileCount);
    void slotTotalProgress(qint32 lDownloadedFileCount);
    void slotPartProgress(qint64 llReceived, qint64 llTotal);
    void slotChangeView();
    void slotTimerMovie();
    void slotSecondDotMove();
    void slotTherdDotMove();
    void slotEndMove();
    void slotCloseEvent();

protected:
    void closeEvent(QCloseEvent* pclEvent) override;
    void keyPressEvent(QKeyEvent* pclEvent) override;

private:
    QFont statusFont() const;

    QProgressBar clFileBar;
    QProgressBar clByteBar;
    QLabel clLogoLabel;
    QLabel clFileCaption;
    QLabel clByteCaption;
    QLabel clStatusLabel;
    std::array<QLabel, 3> clDotLabels;
    QMessageBox* pclConfirmBox = nullptr;
    QTimer* pclMovieTimer = nullptr;
};
