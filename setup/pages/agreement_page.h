#pragma once
#include "../../framework/dialog.h"
#include "../res/resource.h"

class CAgreementPage : public CDialog {
public:
    CAgreementPage() : CDialog(IDD_AGREEMENT) {}
};
