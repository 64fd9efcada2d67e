#include "display/InfoPanel.h"

#include "display/Label.h"
#include "display/PicturePane.h"
#include "display/ScreenImages.h"

namespace {

const char* const kCaptions[CInfoPanel::kRowCount] = {
    " Vorn ",  " Plant ID", " Locationm ID",  " Course ID", " Target ID",
    " Engine", " Sensor",   " Inspection ID", " OK",        " NG",
    " Total",  " 불량률",   " 검사결과",
};

const QString kFace = QStringLiteral("맑은 고딕");
constexpr int kRowPitch = 51;
constexpr int kRowHeight = 50;
constexpr int kResultTop = 612;

// Rectangles relative to the panel, whose origin is (kLeft, 0) on the page.
QRect Local(const QRect& pageRect) {
    return pageRect.translated(-CInfoPanel::kLeft, 0);
}

}  // namespace

QRect CInfoPanel::MarkerRect(int row) {
    return row == kResultRow ? QRect(1284, kResultTop, 24, 93)
                             : QRect(1284, kRowPitch * row, 24, kRowHeight);
}

QRect CInfoPanel::CaptionRect(int row) {
    return row == kResultRow ? QRect(1308, kResultTop, 180, 100)
                             : QRect(1308, kRowPitch * row, 180, kRowHeight);
}

QRect CInfoPanel::ValueRect(int row) {
    return row == kResultRow ? QRect(1488, kResultTop, 432, 93)
                             : QRect(1488, kRowPitch * row, 432, kRowHeight);
}

CInfoPanel::CInfoPanel(QWidget* page) : QWidget(page) {
    setObjectName(QStringLiteral("InfoPanel"));
    setGeometry(kLeft, 0, 1920 - kLeft, CaptionRect(kResultRow).bottom() + 1);
    for (int row = 0; row < kRowCount; ++row) {
        auto* marker = new CPicturePane(this, screen_images::kMarkerBackground);
        marker->setGeometry(Local(MarkerRect(row)));
        marker->SetImage(screen_images::RowMarkerImage(MarkerRect(row).height(), Qt::white));
        m_markers[row] = marker;

        auto* caption = new CLabel(QString::fromUtf8(kCaptions[row]), this);
        caption->setGeometry(Local(CaptionRect(row)));
        caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        caption->SetFontName(kFace).SetFontSize(24).SetFontBold(true);
        caption->SetTextColor(Qt::white).SetBkColor(QColor(55, 55, 55));
        m_captions[row] = caption;

        auto* value = new CLabel(this);
        value->setGeometry(Local(ValueRect(row)));
        value->setAlignment(row == kResultRow ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        value->SetFontName(kFace).SetFontSize(24).SetFontBold(true);
        value->SetTextColor(Qt::white).SetBkColor(QColor(35, 35, 35));
        m_values[row] = value;
    }
}

void CInfoPanel::SetValue(int row, const QString& text, QColor colour) {
    if (row < 0 || row >= kResultRow) {
        return;
    }
    CLabel* value = m_values[row];
    if (value->TextColor() != colour) {
        value->SetTextColor(colour);
    }
    if (value->text() != text) {
        value->setText(text);
    }
}

void CInfoPanel::SetResult(const QString& text, int fontHeight, QColor colour) {
    CLabel* value = m_values[kResultRow];
    if (value->text() == text && value->LabelFont().pixelSize() == fontHeight &&
        value->TextColor() == colour) {
        return;
    }
    m_markers[kResultRow]->SetImage(screen_images::RowMarkerImage(
        MarkerRect(kResultRow).height(), screen_images::ResultMarkerColour(text)));
    if (value->LabelFont().pixelSize() != fontHeight) {
        value->SetFontSize(fontHeight);
    }
    if (value->TextColor() != colour) {
        value->SetTextColor(colour);
    }
    value->setText(text);
}

void CInfoPanel::InvalidateMarkers() {
    for (CPicturePane* marker : m_markers) {
        marker->update();
    }
}

QString CInfoPanel::Value(int row) const {
    return row >= 0 && row < kRowCount ? m_values[row]->text() : QString();
}
