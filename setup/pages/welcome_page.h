#pragma once
#include "../../framework/dialog.h"
#include "../res/resource.h"

class CWelcomePage : public CDialog {
public:
    CWelcomePage() : CDialog(IDD_WELCOME) {}
};
