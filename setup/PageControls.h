#pragma once
// The small construction helpers the settings pages share: a control of the page placed where
// the page lays it out, and the keys a page must not react to.

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QRadioButton;

class QTableWidget;
class QWidget;

namespace page_controls {

QGroupBox* Group(const QString& caption, const QRect& where, QWidget* parent);
QLabel* Label(const QString& text, QWidget* parent, const QRect& where);
QLineEdit* Edit(QWidget* parent, const QRect& where);
QComboBox* Combo(QWidget* parent, const QRect& where);
QRadioButton* Radio(const QString& caption, QWidget* parent, const QRect& where);
// A report list: one selectable row at a time, grid lines, the columns' captions and widths.
QTableWidget* List(QWidget* parent, const QRect& where, const QStringList& captions,
                   const QList<int>& widths);

// Enter and Escape would press a button or close a dialog page; the pages take them and do
// nothing. True when the event was such a key (and is accepted).
bool SwallowPageKey(QKeyEvent* event);

}  // namespace page_controls
