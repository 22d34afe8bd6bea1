#pragma once
// "Print Preview (one band)" (template 137): the prepared job drawn in a pane
// as its bands side by side, odd bands inverted where the print inverts them.
#include <QImage>
#include <QWidget>

#include "pellam/print/CPrintImage.h"
#include "ui/Dialog.h"

namespace pellam {

// The job as printed, unscaled: job rows / 320 bands of the rendered bitmap
// side by side (job rows wide, H high). Renders the image.
QImage previewPicture(CPrintImage& image);
// The largest rectangle of `picture`'s proportions inside `area`, centred.
QRect fitCentred(QSize picture, const QRect& area);

class CPreviewPane : public QWidget {
public:
    CPreviewPane(CPrintImage& image, QWidget* parent);
    const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage m_picture; // drawn once: the image does not change while shown
    QImage m_scaled;  // m_picture at the size last painted
};

class CPreviewDlg : public ui::Dialog {
public:
    CPreviewDlg(CPrintImage& image, QWidget* parent = nullptr);
    CPreviewPane* pane() const;

private:
    CPrintImage& m_image;
};

} // namespace pellam
