#pragma once
#include "../../framework/dialog.h"
#include "../res/resource.h"

class CInstallTypePage : public CDialog {
public:
    CInstallTypePage() : CDialog(IDD_INSTALLTYPE) {}
};
