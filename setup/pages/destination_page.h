#pragma once
#include "../../framework/dialog.h"
#include "../res/resource.h"

class CDestinationPage : public CDialog {
public:
    CDestinationPage() : CDialog(IDD_DESTINATION) {}
};
