#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

// Shows one image, unscaled, at the widget's top-left corner over a plain background colour.
class ClImageView : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ClImageView)

public:
    explicit ClImageView(QWidget* pclParent = nullptr);

signals:
    // A null image was offered; the previous one stays.
    void sigError();

public slots:
    bool slotSetImage(const QString& strPath);
    bool slotSetImage(const QImage& clImg);
    void slotClearImage();
    void slotSetBgColor(QColor clColor);
    void slotSetShowImg(bool bShow);

protected:
    void paintEvent(QPaintEvent* pclEvent) override;

    bool bShowImg = false;
    QImage clImage;
};
