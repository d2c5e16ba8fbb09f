#pragma once
// The customer's photo: shown scaled into the box with its proportions kept; a quiet hint when empty.

#include <QImage>
#include <QLabel>

class PictureBox : public QLabel
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    void setPicture(const QImage& image);
    void clearPicture();
    bool hasPicture() const { return !m_image.isNull(); }
    QImage picture() const { return m_image; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage m_image;
};
