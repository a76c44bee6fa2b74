#pragma once
#include "../../framework/dialog.h"
#include "../res/resource.h"

class CFinishPage : public CDialog {
public:
    CFinishPage() : CDialog(IDD_FINISH) {}
};
