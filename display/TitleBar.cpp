#include "display/TitleBar.h"

#include "display/Label.h"
#include "display/ScreenImages.h"

CLabel* MakeTitleBar(QWidget* parent, const QString& text, const QRect& where) {
    auto* title = new CLabel(text, parent);
    title->setGeometry(where);
    title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    title->SetFontName(QStringLiteral("맑은 고딕")).SetFontSize(14).SetFontBold(true);
    title->SetTextColor(Qt::white).SetBkColor(screen_images::kCrimson);
    return title;
}
