#include "CPreviewDlg.h"

#include <QPainter>

#include "pellam/res/PellamResources.h"

namespace pellam {

QImage previewPicture(CPrintImage& image)
{
    image.render();
    const int W = image.width();
    const int H = image.height();
    const int bands = image.jobRows() / CPrintImage::kRowsPerInch;
    if (!image.isValid() || bands <= 0)
        return {};
    const QImage band = image.bitmap().convertToFormat(QImage::Format_RGB32);
    QImage inverted = band;
    inverted.invertPixels();
    QImage picture(bands * W, H, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    for (int b = 0; b < bands; ++b)
        p.drawImage(b * W, 0, (b % 2 == 1 && image.invertsOddBands()) ? inverted : band);
    return picture;
}

QRect fitCentred(QSize picture, const QRect& area)
{
    if (picture.isEmpty() || area.isEmpty())
        return {};
    const QSize fitted = picture.scaled(area.size(), Qt::KeepAspectRatio);
    return QRect(area.x() + (area.width() - fitted.width()) / 2, area.y() + (area.height() - fitted.height()) / 2,
                 fitted.width(), fitted.height());
}

CPreviewPane::CPreviewPane(CPrintImage& image, QWidget* parent) : QWidget(parent), m_picture(previewPicture(image))
{
    setAccessibleName(QStringLiteral("Print Preview (one band)"));
    setAccessibleDescription(QStringLiteral("%1 x %2").arg(m_picture.width()).arg(m_picture.height()));
}

void CPreviewPane::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0x80, 0x80, 0x80));
    if (m_picture.isNull())
        return;
    // Averaged, not sampled: sampling a fine checkerboard shows squares that
    // are not there. Scaled once per pane size.
    const QRect target = fitCentred(m_picture.size(), rect());
    if (m_scaled.size() != target.size())
        m_scaled = m_picture.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    p.drawImage(target.topLeft(), m_scaled);
}

CPreviewDlg::CPreviewDlg(CPrintImage& image, QWidget* parent) : ui::Dialog(IDD_PRINT_PREVIEW, parent), m_image(image)
{
    substitute(IDC_PV_PANE, [this](QWidget* parent, const ui::ControlTemplate&) -> QWidget* {
        return new CPreviewPane(m_image, parent);
    });
}

CPreviewPane* CPreviewDlg::pane() const { return static_cast<CPreviewPane*>(control(IDC_PV_PANE)); }

} // namespace pellam
