#include "setup/PageControls.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>

namespace page_controls {

QGroupBox* Group(const QString& caption, const QRect& where, QWidget* parent) {
    auto* group = new QGroupBox(caption, parent);
    group->setGeometry(where);
    return group;
}

QLabel* Label(const QString& text, QWidget* parent, const QRect& where) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(where);
    return label;
}

QLineEdit* Edit(QWidget* parent, const QRect& where) {
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(where);
    return edit;
}

QComboBox* Combo(QWidget* parent, const QRect& where) {
    auto* box = new QComboBox(parent);
    box->setGeometry(where);
    return box;
}

QRadioButton* Radio(const QString& caption, QWidget* parent, const QRect& where) {
    auto* radio = new QRadioButton(caption, parent);
    radio->setGeometry(where);
    return radio;
}

QTableWidget* List(QWidget* parent, const QRect& where, const QStringList& captions,
                   const QList<int>& widths) {
    auto* list = new QTableWidget(0, static_cast<int>(captions.size()), parent);
    list->setGeometry(where);
    list->setHorizontalHeaderLabels(captions);
    for (int i = 0; i < widths.size(); ++i) {
        list->setColumnWidth(i, widths[i]);
    }
    list->verticalHeader()->hide();
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return list;
}

bool SwallowPageKey(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    return false;
}

}  // namespace page_controls
