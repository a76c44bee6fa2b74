#pragma once
#include "../../framework/dialog.h"
#include "../res/resource.h"

class CInterruptedPage : public CDialog {
public:
    CInterruptedPage() : CDialog(IDD_INTERRUPTED) {}
};
