#pragma once
#include "../framework/win_app.h"

class CUninstallApp : public CWinApp {
public:
    BOOL InitInstance() override { return FALSE; }
};
