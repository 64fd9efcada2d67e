#pragma once
// The crimson title bar over a picture or graph pane of the operator screen and of the setup tab.

#include <QRect>
#include <QString>

class CLabel;
class QWidget;

CLabel* MakeTitleBar(QWidget* parent, const QString& text, const QRect& where);
