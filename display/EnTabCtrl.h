#pragma once
// The tab control the station's windows create; it draws as its base.

#include "display/BaseTabCtrl.h"

class CEnTabCtrl : public CBaseTabCtrl {
    Q_OBJECT
  public:
    explicit CEnTabCtrl(QWidget* parent = nullptr) : CBaseTabCtrl(parent) {}
};
