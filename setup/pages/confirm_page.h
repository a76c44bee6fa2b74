#pragma once
#include "../../framework/dialog.h"
#include "../res/resource.h"

class CConfirmPage : public CDialog {
public:
    CConfirmPage() : CDialog(IDD_CONFIRM) {}
};
